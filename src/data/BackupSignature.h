#pragma once

// The signature of a backup's list of sums: an HMAC-SHA256 with a key of this workstation, kept
// with its settings. Anyone can recompute the sums of an edited backup; only a holder of the key
// can sign them again.
#include <QByteArray>
#include <QString>

namespace data::backupsignature {

static constexpr const char* kKeyFile = "backup.key";

enum class Verdict {
    Sound,
    Edited, // signed with this workstation's key, but not what was signed
    Unknown, // another key, no key here or no signature: cannot be checked
};

// The signature of `text` with this workstation's key, which is made on first use (a file of the
// owner's alone in the settings directory). Throws BackupError when the key cannot be written.
QByteArray sign(const QByteArray& text);

// What the signature `signature` says of `text`. Never makes a key.
Verdict check(const QByteArray& text, const QByteArray& signature);

// The key's file.
QString keyFile();

} // namespace data::backupsignature
