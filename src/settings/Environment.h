#pragma once

#include <QString>
#include <array>
#include <optional>

namespace kestro {

// Window layout and the catalog in use (section "Environment" of the
// settings file). Positions and sizes are in twips. A value that is not set
// means "keep the window's current value": on loading when the file lacks
// the key, on saving when the window has no value to give.
struct Environment {
    // The catalog opened at start-up, a full path once loaded.
    QString lastLoadedFile;
    std::optional<double> windowLeft;
    std::optional<double> windowTop;
    std::optional<double> windowWidth;
    std::optional<double> windowHeight;
    // Column widths of the contents list, in pixels. A width not set (the
    // user never chose one) is fitted to the column's header and texts.
    // Folder view: Name, Size, Type, Modified, Description.
    std::array<std::optional<double>, 5> fileColumnWidths{};
    // Volume view: Volume name, Capacity, Free, Used, Cataloged, Description,
    // Directories, Files.
    std::array<std::optional<double>, 8> volumeColumnWidths{};
    // The width given to the contents list, which places the splitter.
    std::optional<double> splitterLeft;

    bool operator==(const Environment&) const = default;
};

// Where the search window opens, in twips (keys sWindowLeft... of "Environment").
struct SearchPlacement {
    double left = 1995;
    double top = 1380;
    double width = 6315;
    double height = 4860;

    bool operator==(const SearchPlacement&) const = default;
};

} // namespace kestro
