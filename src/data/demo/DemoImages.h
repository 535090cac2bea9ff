#pragma once

#include <QString>

namespace db {
class Connection;
class Generators;
} // namespace db

namespace data::demo {

// Radiographs and intra-oral photographs for the current sessions of the first patients: the
// records in Photos and the pictures in each patient's image folder below `dataRoot`. The
// first patient gets a dozen, seven of one molar, so that the image windows have pages to turn.
// Returns the number of images written.
int writeDemoImages(db::Connection& connection, db::Generators& generators, const QString& dataRoot);

} // namespace data::demo
