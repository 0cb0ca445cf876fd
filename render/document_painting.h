// Painting a document (a PDF) whose painter may run out of memory on the
// way. Ending a painter writes the rest of its document; if the painter is
// left to end itself from its destructor while a failure unwinds, a second
// failure there cannot be carried and ends the program. So the painter is
// ended here, on the way out too, and kept unended if even that fails:
// the failure becomes an error of its own, never an abort.
#pragma once

#include <QPaintDevice>
#include <QPainter>
#include <memory>
#include <new>
#include <system_error>

#include "platform/io_error.h"

namespace mirotabe {

// Runs `paint` with a painter begun on `device`, and ends it. Fails with
// std::errc::io_error when the device refuses to begin or end, and with
// std::errc::not_enough_memory when memory runs out.
template <typename Paint>
IoStatus PaintDocument(QPaintDevice& device, Paint&& paint) {
  const auto failure = [](std::errc code) { return IoError{{}, std::make_error_code(code)}; };
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(&device)) return failure(std::errc::io_error);
  bool painted = true;
  try {
    paint(*painter);
  } catch (const std::bad_alloc&) {
    painted = false;
  }
  bool ended = false;
  try {
    ended = painter->end();
  } catch (const std::bad_alloc&) {
    // An active painter cannot be destroyed without ending it again.
    static_cast<void>(painter.release());
    return failure(std::errc::not_enough_memory);
  }
  if (!painted) return failure(std::errc::not_enough_memory);
  if (!ended) return failure(std::errc::io_error);
  return std::nullopt;
}

}  // namespace mirotabe
