#include "ui/desktop/name_filters.h"

namespace {

// The patterns of one pair as QFileDialog reads them: separated by blanks, with the
// catch-all "*.*" widened to "*" so that names without an extension show as well.
QString QtPatterns(const QString& patterns) {
    QStringList result;
    for (const QString& pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (!trimmed.isEmpty()) {
            result << (trimmed == u"*.*" ? QStringLiteral("*") : trimmed);
        }
    }
    return result.join(u' ');
}

} // namespace

QStringList NameFiltersFromFilter(const QString& filter) {
    QStringList nameFilters;
    if (filter.isEmpty()) {
        return nameFilters;
    }
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QtPatterns(parts[i + 1]);
        if (!patterns.isEmpty()) {
            nameFilters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
        }
    }
    return nameFilters;
}
