// The "text/uri-list" payload of a drop on the window, made of the fuzzer's
// bytes: the first local file it names.
#include "FuzzInput.h"

#include "document/DropList.h"

using namespace snaplorn;
using namespace snaplorn::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    startApplication(false);
    const QByteArray list(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString file = firstDroppedFile(list);
    require(file.size() <= list.size(), "dropped file name longer than the payload", file);
    // Comment lines, blank lines and line endings in front do not change the answer.
    QByteArray dressed = "# dragged from somewhere\r\n\r\n  \n" + list;
    dressed.replace("\n", "\r\n");
    require(firstDroppedFile(dressed) == file, "comments or CRLF change the dropped file", file);
    if (file.isEmpty())
        return 0;
    // Entries after the first do not count.
    require(firstDroppedFile(list + "\nfile:///somewhere/else.bmp\n") == file,
            "a later entry changes the dropped file", file);
    return 0;
}
