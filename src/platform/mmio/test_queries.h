// What the mmio stand-in tells a test about its handles. For tests only; the
// program never includes this header.
#pragma once

namespace mmio_test {

// Handles that mmioOpenA gave and mmioClose has not closed yet.
int open_handles();

}  // namespace mmio_test
