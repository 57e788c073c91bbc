#include "host/diff/sequence_diff.h"

#include <algorithm>

namespace veln::host::diff {

namespace {

class Differ {
  public:
    Differ(std::span<const std::uint64_t> a, std::span<const std::uint64_t> b)
        : a_(a), b_(b), deleted_(a.size(), false), inserted_(b.size(), false) {}

    std::vector<Edit> Run() {
        Compare(0, a_.size(), 0, b_.size());
        return Script();
    }

  private:
    void Compare(std::size_t aLo, std::size_t aHi, std::size_t bLo, std::size_t bHi) {
        while (aLo < aHi && bLo < bHi && a_[aLo] == b_[bLo]) {
            ++aLo;
            ++bLo;
        }
        while (aLo < aHi && bLo < bHi && a_[aHi - 1] == b_[bHi - 1]) {
            --aHi;
            --bHi;
        }
        if (aLo == aHi || bLo == bHi) {
            Replace(aLo, aHi, bLo, bHi);
            return;
        }
        std::size_t x = 0;
        std::size_t y = 0;
        if (!MiddleSplit(aLo, aHi, bLo, bHi, x, y)) {
            Replace(aLo, aHi, bLo, bHi);
            return;
        }
        Compare(aLo, x, bLo, y);
        Compare(x, aHi, y, bHi);
    }

    void Replace(std::size_t aLo, std::size_t aHi, std::size_t bLo, std::size_t bHi) {
        std::fill(deleted_.begin() + static_cast<std::ptrdiff_t>(aLo),
                  deleted_.begin() + static_cast<std::ptrdiff_t>(aHi), true);
        std::fill(inserted_.begin() + static_cast<std::ptrdiff_t>(bLo),
                  inserted_.begin() + static_cast<std::ptrdiff_t>(bHi), true);
    }

    // Walks the furthest-reaching paths from both ends until they meet; the
    // point where they meet splits the problem in two. False past MAX_COST.
    bool MiddleSplit(std::size_t aLo, std::size_t aHi, std::size_t bLo, std::size_t bHi,
                     std::size_t& splitA, std::size_t& splitB) {
        const long n = static_cast<long>(aHi - aLo);
        const long m = static_cast<long>(bHi - bLo);
        const long maxD = std::min<long>((n + m + 1) / 2, static_cast<long>(MAX_COST));
        const long offset = maxD + 1;
        const long length = 2 * maxD + 3;
        forward_.assign(static_cast<std::size_t>(length), -1);
        backward_.assign(static_cast<std::size_t>(length), -1);
        auto at = [](std::vector<long>& v, long index) -> long& {
            return v[static_cast<std::size_t>(index)];
        };
        at(forward_, offset + 1) = 0;
        at(backward_, offset + 1) = 0;
        const long delta = n - m;
        const bool front = (delta % 2) != 0;
        long k1Start = 0;
        long k1End = 0;
        long k2Start = 0;
        long k2End = 0;
        auto aAt = [&](long i) { return a_[aLo + static_cast<std::size_t>(i)]; };
        auto bAt = [&](long i) { return b_[bLo + static_cast<std::size_t>(i)]; };
        for (long d = 0; d < maxD; ++d) {
            for (long k1 = -d + k1Start; k1 <= d - k1End; k1 += 2) {
                const long k1Offset = offset + k1;
                long x1 = (k1 == -d ||
                           (k1 != d && at(forward_, k1Offset - 1) < at(forward_, k1Offset + 1)))
                              ? at(forward_, k1Offset + 1)
                              : at(forward_, k1Offset - 1) + 1;
                long y1 = x1 - k1;
                while (x1 < n && y1 < m && aAt(x1) == bAt(y1)) {
                    ++x1;
                    ++y1;
                }
                at(forward_, k1Offset) = x1;
                if (x1 > n) {
                    k1End += 2;
                } else if (y1 > m) {
                    k1Start += 2;
                } else if (front) {
                    const long k2Offset = offset + delta - k1;
                    if (k2Offset >= 0 && k2Offset < length && at(backward_, k2Offset) != -1 &&
                        x1 >= n - at(backward_, k2Offset)) {
                        splitA = aLo + static_cast<std::size_t>(x1);
                        splitB = bLo + static_cast<std::size_t>(y1);
                        return true;
                    }
                }
            }
            for (long k2 = -d + k2Start; k2 <= d - k2End; k2 += 2) {
                const long k2Offset = offset + k2;
                long x2 = (k2 == -d ||
                           (k2 != d && at(backward_, k2Offset - 1) < at(backward_, k2Offset + 1)))
                              ? at(backward_, k2Offset + 1)
                              : at(backward_, k2Offset - 1) + 1;
                long y2 = x2 - k2;
                while (x2 < n && y2 < m && aAt(n - x2 - 1) == bAt(m - y2 - 1)) {
                    ++x2;
                    ++y2;
                }
                at(backward_, k2Offset) = x2;
                if (x2 > n) {
                    k2End += 2;
                } else if (y2 > m) {
                    k2Start += 2;
                } else if (!front) {
                    const long k1Offset = offset + delta - k2;
                    if (k1Offset >= 0 && k1Offset < length && at(forward_, k1Offset) != -1) {
                        const long x1 = at(forward_, k1Offset);
                        const long y1 = offset + x1 - k1Offset;
                        if (x1 >= n - x2) {
                            splitA = aLo + static_cast<std::size_t>(x1);
                            splitB = bLo + static_cast<std::size_t>(y1);
                            return true;
                        }
                    }
                }
            }
        }
        return false;
    }

    std::vector<Edit> Script() const {
        std::vector<Edit> edits;
        auto add = [&](EditKind kind, std::size_t i, std::size_t j) {
            if (!edits.empty() && edits.back().kind == kind) {
                ++edits.back().length;
            } else {
                edits.push_back({kind, i, j, 1});
            }
        };
        std::size_t i = 0;
        std::size_t j = 0;
        while (i < a_.size() || j < b_.size()) {
            if (i < a_.size() && deleted_[i]) {
                add(EditKind::Delete, i++, j);
            } else if (j < b_.size() && inserted_[j]) {
                add(EditKind::Insert, i, j++);
            } else {
                add(EditKind::Equal, i++, j++);
            }
        }
        return edits;
    }

    std::span<const std::uint64_t> a_;
    std::span<const std::uint64_t> b_;
    std::vector<bool> deleted_;
    std::vector<bool> inserted_;
    std::vector<long> forward_;
    std::vector<long> backward_;
};

}  // namespace

std::vector<Edit> Diff(std::span<const std::uint64_t> a, std::span<const std::uint64_t> b) {
    return Differ(a, b).Run();
}

std::uint64_t HashText(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

}  // namespace veln::host::diff
