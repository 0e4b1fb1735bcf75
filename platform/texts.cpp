#include "platform/texts.h"

namespace platform {

QString TrimSpaces(const QString &text)
{
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

}  // namespace platform
