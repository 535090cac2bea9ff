#include "clinical/SymbolArt.h"

#include "clinical/ArtworkFiles.h"
#include "platform/Directories.h"
#include "platform/ExceptionLog.h"

#include <QFile>

namespace clinical {

SymbolArt::SymbolArt(std::unique_ptr<TSymbolContainer> library, std::optional<ChartPictures> pictures)
    : m_library(std::move(library))
    , m_pictures(std::move(pictures))
{
}

std::unique_ptr<SymbolArt> SymbolArt::fromProgramDir()
{
    std::unique_ptr<TSymbolContainer> library;
    const QString dat = platform::programFile(artwork::symbolData());
    if (QFile::exists(dat)) {
        const QString idx = platform::programFile(artwork::symbolIndex());
        try {
            if (!QFile::exists(idx))
                TSymbolContainer::RebuildIndex(dat, idx);
            library = std::make_unique<TSymbolContainer>(dat, idx);
        } catch (const std::exception& e) {
            platform::exceptionLog::logException(e, dat);
            library.reset(); // a damaged library draws no previews, as a missing one
        }
    }
    std::optional<ChartPictures> pictures;
    try {
        pictures = ChartPictures::load(platform::programDir());
    } catch (const ArtworkError& e) {
        platform::exceptionLog::logException(e); // the chart draws without its pictures
    }
    return std::make_unique<SymbolArt>(std::move(library), std::move(pictures));
}

QPixmap groupToolPicture(int group)
{
    if (group < 1 || group > 12)
        return {};
    return QPixmap(platform::programFile(artwork::groupTool(group)));
}

} // namespace clinical
