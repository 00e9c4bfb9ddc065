#pragma once

#include <QByteArray>
#include <QString>

// Plays bytes through everything that reads the engine's output, the way an
// engine run would: the assembler cuts them into line-whole chunks, each
// chunk is routed (position answer out, the rest into the output box), and
// after every read the identify parse, the output-size parse, the time
// formats, the frame counter and the picture size run on what has arrived.
//
// The first byte chooses how many bytes each read delivers, so that line and
// character boundaries fall everywhere; the rest is the engine's output.
//
// Returns what went wrong in a way no sanitizer sees (a time text of the
// wrong shape, a picture larger than its frame), or an empty text.
QString feedEngineOutput(const QByteArray &data);
