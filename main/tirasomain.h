#pragma once
// The main window; filled in by the foundation.
