#pragma once

#include <QString>

namespace platform::password {

// Stored form: "pbkdf2-sha256$<rounds>$<salt, base64>$<key, base64>". PBKDF2 with SHA-256 and a
// random 16-byte salt; the rounds travel with the hash so that they can be raised later.
constexpr int kRounds = 210000;
// The round counts a stored hash may have: beyond them an edited file would freeze the login
// (or, below, make guessing cheap).
constexpr int kFewestRounds = 1000;
constexpr int kMostRounds = 10 * kRounds;

QString hash(const QString& password, int rounds = kRounds);
// A stored value: written by hash(); marked as one but unusable (a round count out of range, a
// salt or key that is not there); or a password from an older installation, kept as plain text.
enum class StoredForm { Hashed, Damaged, Plain };
StoredForm formOf(const QString& stored);
inline bool isHashed(const QString& stored)
{
    return formOf(stored) == StoredForm::Hashed;
}
// Whether `typed` is the stored password, hashed or plain. Takes the same time wherever the
// two differ. An empty typed or stored password never matches, nor does a damaged hash.
bool matches(const QString& typed, const QString& stored);

} // namespace platform::password
