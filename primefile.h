#ifndef PRIMEFILE_H
#define PRIMEFILE_H

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

class QTextStream;

// Reading of prime list files: white-space separated 64-bit integers written the way
// a text stream's integer extraction reads them. A leading sign means decimal; without
// one, "0x" means base 16, "0b" base 2 and a 0 followed by an octal digit base 8. Case
// of the prefix letter and of the hexadecimal digits does not matter.

// The value of a whole token, or nothing when the token is not such an integer or its
// value lies outside the range of qlonglong (the stream would silently wrap it).
std::optional<qlonglong> parseListInteger(QStringView token);

enum class ListToken { Number, End, NotAnInteger };

// Splits the text of a stream into tokens a chunk at a time. A token is kept only up to
// maxTokenLength characters, so a file without white space cannot fill the memory; a
// longer token counts as no integer.
class ListReader {
public:
    static constexpr int maxTokenLength = 256;

    explicit ListReader(QTextStream &in, int chunkLength = 1 << 16);

    // Reads the next token. Every call consumes a token or reaches the end, so a loop
    // over it cannot stall; `value` is set only for ListToken::Number.
    ListToken next(qlonglong &value);

private:
    bool refill();

    QTextStream &m_in;
    const int m_chunkLength;
    QString m_chunk;
    int m_position = 0;
    QString m_carried; // the start of a token cut by the end of a chunk
};

// The range of a progress dialog for a file of `size` bytes, and the value for a read
// position in it: positions are scaled down as far as needed to fit the dialog's int,
// so files past 2 GiB show their progress too.
int progressMaximum(qint64 size);
int progressValue(qint64 position, qint64 size);

#endif // PRIMEFILE_H
