#pragma once
// Small summaries of measured samples.
#include <QVector>

namespace stats {
double mean(const QVector<double>& v);
// Nearest-rank percentile, p in 0..100; 0 for no samples.
double percentile(QVector<double> v, double p);
double maximum(const QVector<double>& v);
} // namespace stats
