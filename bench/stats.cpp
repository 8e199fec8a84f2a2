#include "stats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace stats {

double mean(const QVector<double>& v)
{
    return v.isEmpty() ? 0.0 : std::accumulate(v.cbegin(), v.cend(), 0.0) / v.size();
}

double percentile(QVector<double> v, double p)
{
    if (v.isEmpty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const int rank = int(std::ceil(p / 100.0 * v.size()));
    return v[std::clamp(rank - 1, 0, int(v.size()) - 1)];
}

double maximum(const QVector<double>& v)
{
    return v.isEmpty() ? 0.0 : *std::max_element(v.cbegin(), v.cend());
}

} // namespace stats
