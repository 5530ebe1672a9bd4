#pragma once

#include <cstdint>

// What a file holds, counted while it is decoded.
struct DocumentCounts {
    // Labels printed: each ZPL ^XA..^XZ times its ^PQ quantity, each EPL P's count.
    std::uint64_t labels = 0;
    // Pages: PCL 5 form feeds and resets after printed content, PostScript %%Pages.
    std::uint64_t pages = 0;
    // Raster images (ESC/POS GS v 0 and ESC *, ZPL ^GF and ~DG, PCL raster rows, EPL GW).
    std::uint64_t images = 0;
    // Commands marked with a problem.
    std::uint64_t problems = 0;
    // Commands decoded.
    std::uint64_t commands = 0;

    DocumentCounts& operator+=(const DocumentCounts& other) {
        labels += other.labels;
        pages += other.pages;
        images += other.images;
        problems += other.problems;
        commands += other.commands;
        return *this;
    }
};
