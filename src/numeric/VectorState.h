#pragma once

namespace tb {

// Qt's drawing code can return with the upper halves of the AVX registers in
// use; until they are cleared every SSE instruction after it, such as each
// step of a sine, runs several times slower. This clears them (vzeroupper) on
// x86-64 processors with AVX and does nothing on any other processor. It is
// for the code that computes sines after calling into Qt, never for the model
// itself.
void clearVectorState() noexcept;

} // namespace tb
