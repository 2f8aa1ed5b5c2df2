#pragma once
// What layout and render need of Qt: a device that measures like the screen and the
// output devices for SVG, PDF and PNG. Part of the Qt module of the tool, which is
// loaded only for layout and render: the other commands neither load Qt nor construct
// any Qt object.
#include <functional>
#include <string>

#include "core/device/Device.h"

class QIODevice;

namespace kdcli {

// Writes a file through `schreiben` (which returns false when it failed): the bytes go
// to a temporary file beside it, every write and the close are checked, and only a
// complete file replaces `datei`. Returns Erfolg, or Dateifehler after the message.
int InDatei(const std::string& datei, const std::function<bool(QIODevice&)>& schreiben);

// Runs `arbeit` with a QtDevice painting on a small QImage (inside an application
// object made for it, on the offscreen platform unless QT_QPA_PLATFORM says otherwise).
int MitQtMessung(const std::function<int(kd::Device&)>& arbeit);

// Output in page units (0.1 mm, y up): `aufbauen` lays out on a measuring device and
// returns the area to output (0 = go on, else the exit code); `zeichnen` then draws on
// the output device, which maps `bereich` onto the file: SVG and PNG at `zoom` pixels
// per unit, PDF at real size. The kind of file follows the ending of `datei`.
int QtRendern(const std::string& datei, double zoom,
              const std::function<int(kd::Device&, kd::TRect& bereich)>& aufbauen,
              const std::function<void(kd::Device&)>& zeichnen);

} // namespace kdcli
