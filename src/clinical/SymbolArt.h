#pragma once

#include "clinical/ChartPictures.h"
#include "clinical/SymbolContainer.h"

#include <QPixmap>

#include <memory>
#include <optional>

namespace clinical {

// The symbol library and chart pictures beside the program, for the windows that preview
// symbols. Whatever is missing is simply absent: without SYMBOLS.DAT there is no library and
// no preview is drawn, everything else works.
class SymbolArt {
public:
    // Opens the library (rebuilding SYMBOLS.IDX when it is missing) and loads the pictures.
    static std::unique_ptr<SymbolArt> fromProgramDir();
    SymbolArt(std::unique_ptr<TSymbolContainer> library, std::optional<ChartPictures> pictures);

    const TSymbolContainer* library() const { return m_library.get(); }
    const ChartPictures* pictures() const { return m_pictures ? &*m_pictures : nullptr; }
    bool canPreview() const { return m_library && m_pictures; }

private:
    std::unique_ptr<TSymbolContainer> m_library;
    std::optional<ChartPictures> m_pictures;
};

// The tool picture of a chart group (1-12), empty when it is not beside the program.
QPixmap groupToolPicture(int group);

} // namespace clinical
