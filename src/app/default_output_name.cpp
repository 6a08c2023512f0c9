#include "app/default_output_name.h"

QString DefaultOutputName(const QString& aafPath) {
    const qsizetype dot = aafPath.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : aafPath.left(dot);
}
