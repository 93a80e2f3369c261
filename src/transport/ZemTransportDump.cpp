// The diagnostic files of the route search, written to the current folder on every search. Each file is
// built whole in memory and written in one go; lines end with CR LF.
#include "transport/ZemGeneticSearch.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {

constexpr const char* kEol = "\r\n";

// Rewrites the file in place and then cuts it to length, rather than truncating it first: the population
// file is rewritten every generation at nearly the same size, and freeing and reallocating its blocks
// each time costs far more than the write on file systems that discard freed blocks.
// The files go wherever the program was started, perhaps by root in a shared folder: a name planted there
// as a symbolic link, a second hard link or a device must not turn the dump into writing another file.
// Returns why the file was not written, or nothing.
std::string WriteFile(const std::string& FileName, const std::string& Text) {
    const int Fd = ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (Fd < 0)
        return errno == ELOOP ? "это символическая ссылка" : SystemErrorText(errno);
    struct stat St;
    std::string Refusal;
    if (::fstat(Fd, &St) != 0)
        Refusal = SystemErrorText(errno);
    else if (!S_ISREG(St.st_mode))
        Refusal = "это не обычный файл";
    else if (St.st_nlink > 1)
        Refusal = "у файла есть другие жёсткие ссылки";
    size_t Done = 0;
    while (Refusal.empty() && Done < Text.size()) {
        const ssize_t n = ::write(Fd, Text.data() + Done, Text.size() - Done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Refusal = n < 0 ? SystemErrorText(errno) : SystemErrorText(EIO);
        else
            Done += static_cast<size_t>(n);
    }
    if (Refusal.empty() || Done > 0) // a failed write leaves a short file, not a mixed one
        (void)::ftruncate(Fd, static_cast<off_t>(Done));
    ::close(Fd);
    return Refusal;
}

void AppendPath(std::string& Text, const TZemChromosome& C) {
    for (std::int32_t Element : C.Path) {
        Text += std::to_string(Element);
        Text += ',';
    }
    Text += '=';
    Text += FormatFloat(C.Fitness);
    Text += kEol;
}

// One line per vertex: its ID, "| ", then each entry of one of its tables followed by ", ".
template <class Entry> std::string VertexTable(const TZemNetworkGraph& Graph, Entry EntryText) {
    std::string Text;
    for (std::int32_t ID : Graph.Vertices) {
        Text += std::to_string(ID);
        Text += "| ";
        if (const TZemEdgeTables* E = Graph.Edges(ID))
            for (std::int32_t k = 0; k < E->Neighbours.Count(); ++k) {
                Text += EntryText(*E, k);
                Text += ", ";
            }
        Text += kEol;
    }
    return Text;
}

} // namespace

void TZemTransportTask::DumpGraph() {
    FDumpFailures.clear(); // a new search: report only its own files
    DumpFile("_Vertexs.txt", VertexTable(Graph, [](const TZemEdgeTables& E, std::int32_t k) {
                 return std::to_string(E.Neighbours[k]);
             }));
    DumpFile("_Edges.txt", VertexTable(Graph, [](const TZemEdgeTables& E, std::int32_t k) {
                 return std::to_string(E.Segments[k]);
             }));
    DumpFile("_Transport.txt", VertexTable(Graph, [](const TZemEdgeTables& E, std::int32_t k) {
                 return std::to_string(E.SegmentTypes[k]);
             }));
    DumpFile("_TransportName.txt", VertexTable(Graph, [](const TZemEdgeTables& E, std::int32_t k) {
                 return E.SegmentNames[static_cast<size_t>(k)];
             }));
    DumpFile("_EdgesLens.txt", VertexTable(Graph, [](const TZemEdgeTables& E, std::int32_t k) {
                 return FormatFloat(E.SegmentLengths.Get(k));
             }));
    std::string Text;
    for (const TPenalty& P : Penalties) {
        Text += std::to_string(P.TransportType);
        Text += "; ";
        Text += P.Name;
        Text += "; ";
        Text += FormatFloat(P.Weight);
        Text += kEol;
    }
    DumpFile("_Penalty.txt", Text);
}

void TZemTransportTask::DumpPopulation(const std::string& FileName) {
    std::string Text;
    for (size_t k = 0; k < Population.size(); ++k) {
        Text += std::to_string(k);
        Text += ") ";
        AppendPath(Text, Population[k]);
    }
    DumpFile(FileName, Text);
}

void TZemTransportTask::DumpChromosome(const std::string& FileName, const TZemChromosome& Chromosome) {
    std::string Text;
    AppendPath(Text, Chromosome);
    DumpFile(FileName, Text);
}

void TZemTransportTask::DumpFile(const std::string& FileName, const std::string& Text) {
    std::string Refusal = WriteFile(FileName, Text);
    if (!Refusal.empty())
        FDumpFailures.emplace(FileName, std::move(Refusal)); // the first reason of each file
}

std::vector<std::string> TZemTransportTask::DumpWarnings() const {
    std::vector<std::string> Warnings;
    for (const auto& [FileName, Reason] : FDumpFailures)
        Warnings.push_back("не удалось записать диагностический файл \"" + FileName + "\": " + Reason);
    return Warnings;
}

} // namespace zem
