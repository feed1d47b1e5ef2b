#include "ui/file_filter.h"

#include <QStringList>

namespace navtab::ui {

QString qtFileFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i];
        if (label.isEmpty()) break;  // the closing "||"
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns == QLatin1String("*.*")) patterns = QStringLiteral("*");
        // Qt reads the patterns from the last parentheses of the label.
        label.replace(QLatin1String("(*.*)"), QLatin1String("(*)"));
        if (!label.endsWith(QLatin1Char(')')))
            label += QStringLiteral(" (") + patterns + QLatin1Char(')');
        filters << label;
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace navtab::ui
