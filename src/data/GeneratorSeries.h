#pragma once

#include "data/schema/Schema.h"

namespace db {
class Connection;
}

namespace data {

// The state of one identifier series in a database: what its generator says and what the
// tables it serves hold.
class GeneratorSeries {
public:
    GeneratorSeries(db::Connection& connection, const GeneratorDef& generator);

    // The last identifier issued; 0 when the generator has no row yet.
    int lastIssued() const;
    // The highest identifier in use in the served tables (text identifiers count by their
    // number); 0 when they are empty.
    int highestInUse() const;
    bool isBehindData() const { return lastIssued() >= highestInUse(); }
    // Puts the generator on `value`, creating its row when there is none.
    void setLastIssued(int value);
    // Issues the next identifier.
    int next();

private:
    db::Connection& m_connection;
    const GeneratorDef& m_generator;
};

} // namespace data
