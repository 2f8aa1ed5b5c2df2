#pragma once
// Library files (.pqb): reading and writing a whole list of records.
#include <string>

#include "core/CList.h"
#include "core/Errors.h"
#include "core/library/FormelBiblio.h"
#include "core/Stream.h"

namespace kd {

using FormelListeTyp = TCList<TFormelBiblio>;

// Appends ".pqb" when the file name (the part after the last '/') has no dot.
std::string MitBibEndung(const std::string& pfad);

// Reads the records of a library, appending each to `liste` as soon as it is read.
// Throws FileError with a German message naming the file when the file cannot be
// opened, ends early, has an impossible count or size, or a bad text kind; the records
// read before the error stay in `liste`. Never allocates more than the file holds.
// `pfad` is a native (UTF-8) path; ".pqb" is appended by MitBibEndung.
void LiesBibliothek(const std::string& pfad, FormelListeTyp& liste);
// The same over any stream; `anzeigeName` names the file in the message.
void LiesBibliothek(BufferedReader& r, const std::string& anzeigeName, FormelListeTyp& liste);

// Writes the library: count, then every record. The file is written to a temporary
// file in the same folder, flushed and renamed over the old one, so a failed save
// leaves the old file intact. Throws FileError (German, naming the file) on failure.
void SchreibeBibliothek(const std::string& pfad, const FormelListeTyp& liste);
void SchreibeBibliothek(BufferedWriter& w, const FormelListeTyp& liste);

} // namespace kd
