#pragma once

#include <QString>

namespace platform::password {

// Stored form: "pbkdf2-sha256$<rounds>$<salt, base64>$<key, base64>". PBKDF2 with SHA-256 and a
// random 16-byte salt; the rounds travel with the hash so that they can be raised later.
constexpr int kRounds = 210000;

QString hash(const QString& password, int rounds = kRounds);
// True for a value written by hash(); anything else is a password from an older installation,
// kept as plain text.
bool isHashed(const QString& stored);
// Whether `typed` is the stored password, hashed or plain. Takes the same time wherever the
// two differ. An empty typed or stored password never matches.
bool matches(const QString& typed, const QString& stored);

} // namespace platform::password
