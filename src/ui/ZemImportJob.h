#pragma once
// One import running off the window thread: the inputs go into a map of its own, which comes back as the
// bytes of a map file for the window's map to load. Progress and the end arrive as signals on the
// window's thread; Cancel stops the work at its next report, and destroying the job waits for it.
#include "import/ZemImport.h"

#include <QObject>
#include <QString>

#include <filesystem>
#include <thread>
#include <vector>

namespace zem {

class TZemImportJob : public QObject {
    Q_OBJECT
public:
    // Starts at once. The first view fits a window of ViewW x ViewH pixels. With Base (a map file's bytes)
    // the inputs go into a copy of that map, on its plane, and the copy comes back.
    TZemImportJob(std::vector<std::filesystem::path> Inputs, int ViewW, int ViewH,
                  std::vector<std::uint8_t> Base = {}, QObject* Parent = nullptr);
    ~TZemImportJob() override;

    void Cancel() { FProgress.Cancel(); }
    bool Running() const { return FRunning; }
    // After finished(true, ...): the map file, saved without packing (it is loaded straight away).
    std::vector<std::uint8_t> TakeMapBytes() { return std::move(FBytes); }

signals:
    void progress(const QString& Phase, int Percent);
    // Ok false: Error says why (empty when the user cancelled). Summary: what was made and skipped.
    void finished(bool Ok, const QString& Error, const QString& Summary);

private:
    void Run(std::vector<std::filesystem::path> Inputs, int ViewW, int ViewH, std::vector<std::uint8_t> Base);

    TZemImportProgress FProgress;
    std::vector<std::uint8_t> FBytes;
    bool FRunning = true; // read and written on the window's thread only
    std::thread FThread;
};

} // namespace zem
