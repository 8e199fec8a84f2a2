#pragma once
// The images live in the shared resource library, which is linked through a static
// library; without an explicit reference its registration would be dropped.

// Registers the images once; every widget that shows one calls it first.
void initDesignerResources();
