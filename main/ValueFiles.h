#pragma once
// Encoding and decoding of the value files; filled in on its own branch.
