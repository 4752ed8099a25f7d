// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QString>
#include <QTextLayout>

// The characters of a text that come out as the empty "missing glyph" box
// when it is laid out in this font. Qt falls back from the font to any
// installed one that has a character, so a character counts as drawn when
// the layout found a font for it with a real glyph (not glyph 0).
inline QString missingGlyphs(const QString& text, const QFont& font)
{
    QString missing;
    for (const char32_t character : text.toUcs4()) {
        const QString one = QString::fromUcs4(&character, 1);
        QTextLayout layout(one, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        bool drawn = false;
        for (const QGlyphRun& run : layout.glyphRuns()) {
            for (const quint32 glyph : run.glyphIndexes())
                drawn = drawn || (glyph != 0 && run.rawFont().supportsCharacter(character));
        }
        if (!drawn)
            missing += one;
    }
    return missing;
}
