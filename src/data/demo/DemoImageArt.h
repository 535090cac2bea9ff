#pragma once

#include <QImage>
#include <QSize>

namespace data::demo {

// Believable pictures for the demo practice and the stand-in imaging program, drawn from a
// seed, without text (the demo is made without a display): a periapical radiograph of a tooth and its
// neighbours, or an intra-oral photograph.
QImage drawRadiograph(int tooth, quint32 seed, QSize size = QSize(480, 360));
QImage drawIntraoralPhoto(int tooth, quint32 seed, QSize size = QSize(480, 360));

} // namespace data::demo
