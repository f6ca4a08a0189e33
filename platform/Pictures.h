// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QString>

// A picture is drawn from its bitmap where one device pixel is one pixel of
// the window, so it stays exactly as designed there (and keeps the rule that
// its bottom-left colour is transparent). On a denser screen the bitmap would
// only be enlarged; a picture that names its vector drawing is drawn from
// that instead, at the density of the screen.
//
// The drawing travels with the bitmap as a text entry of the QImage, so it
// survives the copies and conversions the controls make of their pictures.

// The bitmap, naming svgResource as its drawing for denser screens. The
// drawing's view box must have the bitmap's size.
QImage PictureWithVector(QImage bitmap, const QString& svgResource);

// The drawing a picture names; empty for a plain bitmap.
QString VectorSourceOf(const QImage& picture);

// The same bitmap, no longer naming a drawing: for a picture derived from
// it pixel by pixel, which the drawing does not show.
QImage WithoutVector(QImage picture);

// The picture as drawn on a device with this many device pixels per window
// pixel: above 1, the named drawing rendered for that density (with that
// device pixel ratio, transparent where the drawing leaves the ground), made
// on first use and kept for the rest of the run; otherwise a null image.
QImage VectorPictureForPixelRatio(const QImage& picture, qreal ratio);

// How many drawings have been rendered so far, for every density together.
int VectorPicturesMade();
