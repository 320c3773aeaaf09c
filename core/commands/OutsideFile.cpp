#include "commands/OutsideFile.h"

#include <sys/stat.h>

#include "formats/FileFormats.h"
#include "import3ds/ImportFile.h"

bool IsUnreadableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && !FormatOfFile(path);
}

FrameUpdate RefuseUnreadableFile(const std::string& path) {
    FrameUpdate update;
    update.notice = FileNameOf(path) + " is not a model or scene this program reads";
    update.noticeIcon = NoticeIcon::Warning;
    update.Then(FrameStep::ShowNotice);
    return update;
}
