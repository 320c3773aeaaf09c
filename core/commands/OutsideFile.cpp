#include "commands/OutsideFile.h"

#include <sys/stat.h>

#include "formats/FileFormats.h"
#include "import3ds/ImportFile.h"

OutsideRead HowToReadFromOutside(const std::string& path) {
    const FileFormat* format = FormatOfFile(path);
    if (format)
        return format->reader == FormatReader::SceneFile ? OutsideRead::Open : OutsideRead::Import;
    struct stat info {};
    const bool regular = stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    return regular ? OutsideRead::Refuse : OutsideRead::Open;
}

FrameUpdate RefuseUnreadableFile(const std::string& path) {
    FrameUpdate update;
    update.notice = FileNameOf(path) + " is not a model or scene this program reads";
    update.noticeIcon = NoticeIcon::Warning;
    update.Then(FrameStep::ShowNotice);
    return update;
}
