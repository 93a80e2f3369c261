#include "import/ZemImportTarget.h"

#include "model/ZemErrors.h"

#include <algorithm>
#include <climits>

namespace zem {

TZemDirectoryIndex::TZemDirectoryIndex(TZemDirectory& Directory) : FDirectory(Directory) {
    for (std::size_t i = 0; i < FDirectory.size(); ++i)
        FPositions.emplace(UpperCase(FDirectory[i]), static_cast<std::int32_t>(i));
}

std::int32_t TZemDirectoryIndex::Intern(const ZemString& Name) {
    if (Name.empty())
        return -1;
    const auto [It, Added] =
        FPositions.emplace(UpperCase(Name), static_cast<std::int32_t>(FDirectory.size()));
    if (Added)
        FDirectory.push_back(Name);
    return It->second;
}

std::int32_t TZemDirectoryIndex::Find(const ZemString& Name) const {
    const auto It = FPositions.find(UpperCase(Name));
    return It == FPositions.end() ? -1 : It->second;
}

std::int32_t TZemImportTarget::Store(std::unique_ptr<TZemObject> Object) {
    TZemDocument& D = FMap.Doc;
    while (D.Objects.Contains(D.MaxID)) {
        if (D.MaxID == INT32_MAX)
            throw EZemError("Нельзя добавить объект: все идентификаторы объектов уже заняты.");
        ++D.MaxID;
    }
    const std::int32_t ID = D.MaxID;
    Object->ID = ID;
    FMap.StoreObject(std::move(Object)); // moves MaxID past ID
    return ID;
}

void TZemImportTarget::Attribute(const std::string& Utf8) {
    if (std::find(FAttributions.begin(), FAttributions.end(), Utf8) == FAttributions.end())
        FAttributions.push_back(Utf8);
}

} // namespace zem
