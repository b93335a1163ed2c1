#pragma once
#include "base/Result.h"

#include <QUrl>

namespace snaplorn {

// Hands addresses to the desktop ("open" in the user's browser or viewer).
// Only http and https addresses and the program's own help page are ever
// handed over; anything else is refused with a message.
class Shell
{
public:
    virtual ~Shell() = default;
    virtual Result openUrl(const QUrl& url) = 0;
};

// True for addresses the program may hand to the desktop.
bool isOpenableAddress(const QUrl& url, const QString& helpFile);

class DesktopShell : public Shell
{
public:
    explicit DesktopShell(QString helpFile);
    Result openUrl(const QUrl& url) override;

private:
    QString m_helpFile;
};

// Stand-in for tests: records the addresses and reports success or a set
// failure.
class RecordingShell : public Shell
{
public:
    Result openUrl(const QUrl& url) override;
    QList<QUrl> opened;
    QString failWith;
};

} // namespace snaplorn
