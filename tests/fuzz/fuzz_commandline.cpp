// The command line made of the fuzzer's bytes (NUL-separated arguments): the
// text the main window opens, and the capture options.
#include "FuzzInput.h"

#include "base/CommandLine.h"
#include "capture/CaptureOptions.h"
#include "document/ImageFiles.h"

using namespace snaplorn;
using namespace snaplorn::fuzz;

namespace {

// A stand-in for the file system: names ending in '/' are folders.
bool isFolder(const QString& path)
{
    return path.endsWith(QLatin1Char('/'));
}

void checkOpenedFile(const QStringList& arguments)
{
    const QString commandLine = commandLineFromArguments(arguments);
    const QString file = unquotedCommandLine(commandLine);
    require(file.size() <= commandLine.size(), "file name longer than the command line");
    require(commandLine.contains(file), "file name not taken from the command line", file);
}

void checkCapture(const QStringList& arguments, const CaptureOptions& options)
{
    require(options.mode == QLatin1String("desktop") || options.mode == QLatin1String("window"),
            "capture with an unknown mode", options.mode);
    require(options.delayMs >= 0 && options.delayMs <= 600000, "delay out of range");
    require(options.quality == -1 || (options.quality >= 1 && options.quality <= 100),
            "quality out of range");
    require(options.output.isEmpty() || saveKindFor(options.output) != SaveKind::Refused,
            "output the save refuses", options.output);
    require(options.outputFolder.isEmpty() || isFolder(options.outputFolder),
            "output folder not a folder", options.outputFolder);
    require(!options.toFile || arguments.join(QLatin1Char(' ')).contains(QLatin1String("--output")),
            "file output without --output");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    startApplication(false);
    FuzzInput in(data, size);
    QStringList arguments;
    while (!in.atEnd() && arguments.size() < 64)
        arguments << in.textField();
    checkOpenedFile(arguments);
    const CaptureOptions options = parseCaptureOptions(arguments, &isFolder);
    using Action = CaptureOptions::Action;
    switch (options.action) {
    case Action::StartProgram:
        require(arguments.isEmpty() || !arguments.first().startsWith(QLatin1String("--")),
                "options ignored");
        require(arguments.isEmpty() || arguments.first() != QLatin1String("-h"), "-h ignored");
        break;
    case Action::Error:
        require(!options.error.trimmed().isEmpty(), "error without a message");
        break;
    case Action::Capture:
        checkCapture(arguments, options);
        break;
    case Action::Help:
    case Action::Version:
        break;
    }
    return 0;
}
