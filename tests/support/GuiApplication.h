#pragma once

namespace kestro::test {

// Makes the one application object that window and picture tests need, under
// the offscreen platform unless another is set; later calls do nothing.
void ensureGuiApplication();

} // namespace kestro::test
