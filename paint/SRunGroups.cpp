// A union-find over the runs whose root is always the earliest run of its group, so one pass in
// run order numbers the groups in the order of their first runs.
#include "SRunGroups.h"

#include <cstddef>

namespace {

std::int32_t Root(std::vector<std::int32_t>& parent, std::int32_t i)
{
    while (parent[std::size_t(i)] != i) {
        parent[std::size_t(i)] = parent[std::size_t(parent[std::size_t(i)])];  // path halving
        i = parent[std::size_t(i)];
    }
    return i;
}

void Join(std::vector<std::int32_t>& parent, std::int32_t a, std::int32_t b)
{
    const std::int32_t ra = Root(parent, a), rb = Root(parent, b);
    if (ra < rb)
        parent[std::size_t(rb)] = ra;
    else if (rb < ra)
        parent[std::size_t(ra)] = rb;
}

}  // namespace

std::int32_t GroupRuns(const std::vector<SKeyedRun>& runs, bool corners, std::vector<std::int32_t>& group)
{
    const std::int32_t n = std::int32_t(runs.size());
    group.resize(runs.size());
    for (std::int32_t i = 0; i < n; ++i)
        group[std::size_t(i)] = i;
    const std::int32_t reach = corners ? 1 : 0;  // how far past a run's end a touching run may start
    std::int32_t previous = 0, row = 0;          // the row before's runs, and this row's
    while (row < n) {
        std::int32_t rowEnd = row;
        while (rowEnd < n && runs[std::size_t(rowEnd)].y == runs[std::size_t(row)].y)
            ++rowEnd;
        if (previous < row && runs[std::size_t(previous)].y + 1 == runs[std::size_t(row)].y) {
            // Both rows' runs are in column order: the runs above that a run touches follow one
            // another, and the first of them only moves right from one run to the next.
            std::int32_t first = previous;
            for (std::int32_t b = row; b < rowEnd; ++b) {
                const SKeyedRun& here = runs[std::size_t(b)];
                while (first < row && runs[std::size_t(first)].x1 + reach <= here.x0)
                    ++first;
                for (std::int32_t a = first; a < row && runs[std::size_t(a)].x0 < here.x1 + reach; ++a)
                    if (runs[std::size_t(a)].key == here.key)
                        Join(group, a, b);
            }
        }
        previous = row;
        row = rowEnd;
    }
    // A root precedes its group and every parent its child: roots become numbers, the rest take
    // their parent's.
    std::int32_t count = 0;
    for (std::int32_t i = 0; i < n; ++i)
        group[std::size_t(i)] = group[std::size_t(i)] == i ? count++ : group[std::size_t(group[std::size_t(i)])];
    return count;
}
