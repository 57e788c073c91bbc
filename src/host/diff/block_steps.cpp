#include "host/diff/block_steps.h"

#include <algorithm>
#include <utility>

#include "host/diff/sequence_diff.h"

namespace veln::host::diff {

namespace {

using Pairs = std::vector<std::pair<std::size_t, std::size_t>>;

// Stretches of more items than this are paired in order, unweighed.
constexpr std::size_t MAX_ALIGNED = 4096;

// The most pairs, in order, of items of a changed stretch that are edits of
// one another.
Pairs Align(std::size_t n, std::size_t m,
            const std::function<bool(std::size_t, std::size_t)>& alike) {
    Pairs pairs;
    if (n * m > MAX_ALIGNED) {
        for (std::size_t k = 0; k < std::min(n, m); ++k) {
            if (alike(k, k)) {
                pairs.emplace_back(k, k);
            }
        }
        return pairs;
    }
    std::vector<std::vector<bool>> same(n, std::vector<bool>(m));
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < m; ++j) {
            same[i][j] = alike(i, j);
        }
    }
    std::vector<std::vector<std::size_t>> best(n + 1, std::vector<std::size_t>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t j = m; j-- > 0;) {
            best[i][j] =
                same[i][j] ? best[i + 1][j + 1] + 1 : std::max(best[i + 1][j], best[i][j + 1]);
        }
    }
    for (std::size_t i = 0, j = 0; i < n && j < m;) {
        if (same[i][j] && best[i][j] == best[i + 1][j + 1] + 1) {
            pairs.emplace_back(i++, j++);
        } else if (best[i + 1][j] >= best[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    return pairs;
}

// One changed stretch: ours [ourFirst, +ourCount), theirs [theirFirst, +theirCount).
void StepStretch(std::size_t ourFirst, std::size_t ourCount, std::size_t theirFirst,
                 std::size_t theirCount, const Steps& steps) {
    const bool closing =
        ourCount > 0 && theirCount > 0 && steps.closing &&
        steps.closing(ourFirst + ourCount, ourFirst + ourCount - 1, theirFirst + theirCount - 1);
    const std::size_t aligned = closing ? 1 : 0;
    Pairs pairs = Align(
        ourCount - aligned, theirCount - aligned,
        [&](std::size_t i, std::size_t j) { return steps.alike(ourFirst + i, theirFirst + j); });
    if (closing) {
        pairs.emplace_back(ourCount - 1, theirCount - 1);
    }
    pairs.emplace_back(ourCount, theirCount);
    std::size_t i = 0;
    std::size_t j = 0;
    for (const auto& [pairedOurs, pairedTheirs] : pairs) {
        for (; i < pairedOurs; ++i) {
            steps.remove(ourFirst + i);
        }
        if (j < pairedTheirs) {
            steps.insert(ourFirst + i, theirFirst + j, pairedTheirs - j);
            j = pairedTheirs;
        }
        if (pairedOurs < ourCount) {
            steps.pair(ourFirst + pairedOurs, theirFirst + pairedTheirs);
            i = pairedOurs + 1;
            j = pairedTheirs + 1;
        }
    }
}

}  // namespace

void Step(const std::vector<std::uint64_t>& ours, const std::vector<std::uint64_t>& theirs,
          const Steps& steps) {
    const std::vector<Edit> edits = Diff(ours, theirs);
    for (std::size_t e = 0; e < edits.size(); ++e) {
        if (edits[e].kind == EditKind::Equal) {
            continue;
        }
        const std::size_t ourFirst = edits[e].aStart;
        const std::size_t theirFirst = edits[e].bStart;
        std::size_t ourCount = 0;
        std::size_t theirCount = 0;
        for (; e < edits.size() && edits[e].kind != EditKind::Equal; ++e) {
            (edits[e].kind == EditKind::Delete ? ourCount : theirCount) += edits[e].length;
        }
        --e;
        StepStretch(ourFirst, ourCount, theirFirst, theirCount, steps);
    }
}

}  // namespace veln::host::diff
