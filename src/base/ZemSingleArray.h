#pragma once
// A list of single floats, used by the route search.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zem {

class TZemSingleArray {
public:
    void Add(float Value) { FValues.push_back(Value); }
    // 0.0 for an index outside the list.
    float Get(std::int32_t Index) const {
        return Index >= 0 && Index < Count() ? FValues[static_cast<size_t>(Index)] : 0.0f;
    }
    void Clear() { std::vector<float>().swap(FValues); }
    std::int32_t Count() const { return static_cast<std::int32_t>(FValues.size()); }

private:
    std::vector<float> FValues;
};

} // namespace zem
