#include "app/TerminalProgress.h"

#include <QTextStream>

#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

bool onTerminal()
{
    static const bool terminal = isatty(fileno(stderr));
    return terminal;
}

bool s_shown = false;

} // namespace

BankProgress TerminalProgress(const QString &what)
{
    if (!onTerminal())
        return {};
    return [what, last = -1](qint64 done, qint64 total) mutable {
        const int percent = total > 0 ? int(done * 100 / total) : 100;
        if (percent == last)
            return;
        last = percent;
        s_shown = true;
        QTextStream(stderr) << "\r" << what << ": " << percent << "%" << Qt::flush;
    };
}

void EndTerminalProgress()
{
    if (s_shown)
        QTextStream(stderr) << "\n";
    s_shown = false;
}
