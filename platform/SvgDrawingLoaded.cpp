// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// SvgDrawing::Render for the window module: QtSvg comes with the drawing
// module from the window module's own folder, on the first call.

#include "platform/SvgDrawing.h"

#include <QtGlobal>

#include <dlfcn.h>

#include <string>

namespace {

SvgDrawing::Entry loadEntry()
{
    // The folder of the module this code is linked into, wherever it is
    // installed; never a search path, where anybody may have put a module of
    // that name.
    Dl_info self{};
    if (!dladdr(reinterpret_cast<void*>(&SvgDrawing::Render), &self) || !self.dli_fname) {
        qWarning("Drawings cannot be drawn: the window's module cannot find its folder");
        return nullptr;
    }
    std::string path = self.dli_fname;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        qWarning("Drawings cannot be drawn: the window's module was loaded without a folder (%s)", self.dli_fname);
        return nullptr;
    }
    path.replace(slash + 1, std::string::npos, TIRASO_SVG_MODULE);
    // Never closed: drawn once, a density is likely drawn again.
    void* module = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    const auto entry = module ? reinterpret_cast<SvgDrawing::Entry>(dlsym(module, TIRASO_SVG_ENTRY)) : nullptr;
    if (!entry) {
        const char* error = dlerror();
        qWarning("Drawings cannot be drawn: %s", error ? error : path.c_str());
    }
    return entry;
}

} // namespace

bool SvgDrawing::Render(const QString& source, QPainter& painter, const QRectF& bounds)
{
    static const Entry entry = loadEntry();
    return entry && entry(source, painter, bounds);
}
