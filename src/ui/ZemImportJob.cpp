#include "ui/ZemImportJob.h"

#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

namespace zem {

TZemImportJob::TZemImportJob(std::vector<std::filesystem::path> Inputs, int ViewW, int ViewH,
                             std::vector<std::uint8_t> Base, QObject* Parent)
    : QObject(Parent) {
    connect(this, &TZemImportJob::finished, this, [this] { FRunning = false; });
    FProgress.OnProgress = [this](const std::string& Phase, std::int32_t Percent) {
        emit progress(QString::fromStdString(Phase), Percent); // queued to the window's thread
    };
    FThread = std::thread([this, In = std::move(Inputs), ViewW, ViewH, B = std::move(Base)]() mutable {
        Run(std::move(In), ViewW, ViewH, std::move(B));
    });
}

TZemImportJob::~TZemImportJob() {
    FProgress.Cancel();
    if (FThread.joinable())
        FThread.join();
}

void TZemImportJob::Run(std::vector<std::filesystem::path> Inputs, int ViewW, int ViewH,
                        std::vector<std::uint8_t> Base) {
    bool Ok = false;
    QString Error, Summary;
    try {
        HeadlessHost Host(ViewW, ViewH);
        TZemMap Map(Host);
        if (!Base.empty() && !Map.LoadFromBytes(Base))
            throw EZemError("Не удалось прочитать открытую карту для импорта в неё");
        Map.SetAutoUpdate(false);
        const TZemImportSummary S = ImportInto(Map, Inputs, {}, FProgress, ViewW, ViewH);
        FProgress.Report("Подготовка карты", 0);
        Map.SetCompression(0);
        FBytes = Map.SaveToBytes();
        Summary = QString::fromStdString(S.Text());
        Ok = true;
    } catch (const EZemImportCancelled&) {
    } catch (const std::bad_alloc&) {
        Error = QStringLiteral("Недостаточно памяти для импорта");
    } catch (const std::exception& E) {
        Error = QString::fromUtf8(E.what());
    }
    emit finished(Ok, Error, Summary);
}

} // namespace zem
