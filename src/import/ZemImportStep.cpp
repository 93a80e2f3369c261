#include "import/ZemImportStep.h"

namespace zem {

std::int32_t AddImportedAsStep(TZemMap& Map, const TZemMap& Imported) {
    std::int32_t Added = 0;
    {
        TZemChange Step(Map);
        Map.TouchDirectories();
        if (Imported.Net.ShowTransportNet && !Map.Net.ShowTransportNet) {
            Map.TouchSettings(); // a network brought in is shown
            Map.Net.ShowTransportNet = true;
        }
        TZemDocument& D = Map.Doc;
        const TZemDocument& I = Imported.Doc;
        D.Streets = I.Streets;
        D.Indexes = I.Indexes;
        D.ObjectTypes = I.ObjectTypes;
        D.Cities = I.Cities;
        D.Areas = I.Areas;
        D.TransportTypes = I.TransportTypes;
        for (std::int32_t K = 0; K < I.Order.Count(); ++K) {
            const std::int32_t ID = I.Order[K];
            if (Map.ObjectExists(ID))
                continue;
            Map.TouchObject(ID);
            Map.StoreObject(Imported.ObjectByID(ID).Clone());
            ++Added;
        }
        // New kinds of transport are shown, as after loading; they go back with the directories.
        for (std::int32_t T = 0; T < static_cast<std::int32_t>(D.TransportTypes.size()); ++T)
            if (!Map.Net.VisibleTransportTypes.Contains(T))
                Map.Net.VisibleTransportTypes.Add(T);
    }
    Map.RecalcGlobalExtent();
    Map.Refresh();
    return Added;
}

} // namespace zem
