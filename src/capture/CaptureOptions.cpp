#include "capture/CaptureOptions.h"

#include "base/Texts.h"
#include "document/ImageFiles.h"

#include <QFileInfo>

namespace snaplorn {

namespace {

constexpr int MaxDelayMs = 600000;

bool existingFolder(const QString& path)
{
    return QFileInfo(path).isDir();
}

CaptureOptions failed(const QString& message)
{
    CaptureOptions options;
    options.action = CaptureOptions::Action::Error;
    options.error = message;
    return options;
}

QString fill(const char* text, const QString& value)
{
    return QString::fromUtf8(text).arg(value);
}

// Checks one option's value and stores it; an empty text when it is fine.
QString apply(const QString& name, const QString& value, CaptureOptions& options,
              bool (*isFolder)(const QString&))
{
    bool number = false;
    if (name == QLatin1String("--capture")) {
        if (value != QLatin1String("desktop") && value != QLatin1String("window"))
            return fill(texts::CliBadMode, value);
        options.mode = value;
    } else if (name == QLatin1String("--delay")) {
        options.delayMs = value.toInt(&number);
        if (!number || options.delayMs < 0 || options.delayMs > MaxDelayMs)
            return fill(texts::CliBadDelay, value);
    } else if (name == QLatin1String("--quality")) {
        options.quality = value.toInt(&number);
        if (!number || options.quality < 1 || options.quality > 100)
            return fill(texts::CliBadQuality, value);
    } else if (name == QLatin1String("--output")) {
        options.toFile = true;
        if (value.isEmpty())
            return QString(); // the next free ScreenN.jpg of the auto-capture folder
        if (isFolder(value))
            options.outputFolder = value;
        else if (saveKindFor(value) == SaveKind::Refused)
            return fill(texts::CliBadOutput, value);
        else
            options.output = value;
    }
    return QString();
}

bool takesValue(const QString& name)
{
    return name == QLatin1String("--capture") || name == QLatin1String("--delay") ||
           name == QLatin1String("--quality") || name == QLatin1String("--output");
}

} // namespace

CaptureOptions parseCaptureOptions(const QStringList& arguments, bool (*isFolder)(const QString&))
{
    if (!isFolder)
        isFolder = &existingFolder;
    CaptureOptions options;
    if (arguments.isEmpty() || !(arguments.first().startsWith(QLatin1String("--")) ||
                                 arguments.first() == QLatin1String("-h")))
        return options;
    QStringList needsCapture;
    for (int i = 0; i < arguments.size(); ++i) {
        QString name = arguments.at(i);
        QString value;
        const bool inlineValue =
            name.startsWith(QLatin1String("--")) && name.contains(QLatin1Char('='));
        if (inlineValue) {
            value = name.mid(name.indexOf(QLatin1Char('=')) + 1);
            name = name.left(name.indexOf(QLatin1Char('=')));
        }
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            options.action = CaptureOptions::Action::Help;
            return options;
        }
        if (name == QLatin1String("--version")) {
            options.action = CaptureOptions::Action::Version;
            return options;
        }
        if (!takesValue(name))
            return failed(fill(texts::CliUnknownOption, arguments.at(i)));
        if (!inlineValue) {
            const bool present =
                i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1String("--"));
            if (present)
                value = arguments.at(++i);
            else if (name != QLatin1String("--output"))
                return failed(fill(texts::CliMissingValue, name));
        }
        const QString problem = apply(name, value, options, isFolder);
        if (!problem.isEmpty())
            return failed(problem);
        if (name != QLatin1String("--capture"))
            needsCapture.append(name);
    }
    if (options.mode.isEmpty())
        return failed(fill(texts::CliNeedsCapture, needsCapture.value(0)));
    options.action = CaptureOptions::Action::Capture;
    return options;
}

} // namespace snaplorn
