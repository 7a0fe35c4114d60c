#pragma once

namespace kestro {

// Lets pending user-interface events run `times` times; nothing for fewer
// than one. Long operations call it at fixed points to stay responsive.
void YieldEvents(int times);

} // namespace kestro
