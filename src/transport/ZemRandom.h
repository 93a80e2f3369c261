#pragma once
// The random numbers of the route search. The search reseeds its generator from the clock now and then,
// so that long runs do not settle into one sequence; a generator made with a fixed seed ignores those
// reseeds and gives the same numbers, and therefore the same route, on every run.
//
// The task is given its generator (see TZemTransportTask::SetRandom); tests may derive from this class to
// script the draws.
#include <cstdint>

namespace zem {

class TZemRandom {
public:
    // Seeded from the clock.
    TZemRandom();
    // Fixed: the same sequence on every run, whatever reseeds are asked for.
    explicit TZemRandom(std::uint64_t Seed);
    virtual ~TZemRandom() = default;

    // A uniform integer in [0, N); 0 when N is not positive.
    virtual std::int32_t Uniform(std::int32_t N);
    // Seeds again from the clock; nothing for a fixed generator.
    virtual void Reseed();

    bool Fixed() const { return FFixed; }

protected:
    std::uint64_t Next();

private:
    std::uint64_t FState = 0;
    std::uint64_t FReseeds = 0; // told apart reseeds that fall within one clock tick
    bool FFixed = false;
};

} // namespace zem
