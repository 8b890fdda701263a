#include "ui/results/LineFilterContainers.h"

namespace ui
{

int CountMatchingLinesInside(platform::FileSystem& fileSystem, const std::string& path,
                             engine::ContainerKind kind, const std::vector<std::string>& texts,
                             const ByteUpperCase& upper)
{
    int count = 0;
    engine::VisitContainerText(
        fileSystem, path, kind,
        [&](const engine::TextPiece& piece) {
            count += CountMatchingLinesInText(piece.text, texts, upper);
            return true;
        },
        platform::FileShare::Read);
    return count;
}

} // namespace ui
