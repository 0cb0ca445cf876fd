// The vertical text of a layout as it is saved, written once for every
// edition: the window's save, the converter and the browser's module hand
// the same producer to their own destination (a file, standard output,
// memory). A library of its own in this folder, since it joins the layout
// (core) to the encoders (textio), which know nothing of each other.
#pragma once

#include <cstddef>

#include "core/vertical_layout.h"
#include "platform/charset.h"
#include "textio/text_stream.h"

namespace mirotabe {

// What writes `layout`'s text, exactly as its Text() is, a few rows at a
// time; the whole text is never built. `layout` must outlive it.
TextProducer LayoutTextProducer(const VerticalLayout& layout);

// The characters of `layout`'s text that `charset` cannot hold, for the
// warning before a save: the first `keepFirst` of them and their count.
UnencodableReport FindUnencodableCells(const VerticalLayout& layout, Charset charset,
                                       std::size_t keepFirst);

}  // namespace mirotabe
