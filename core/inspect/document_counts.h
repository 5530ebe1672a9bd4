#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a file holds, counted while it is decoded.
struct DocumentCounts {
    // Labels printed: each ZPL ^XA..^XZ times its ^PQ quantity, each EPL P's and TSPL
    // PRINT's count, each CPCL label's quantity at its PRINT.
    std::uint64_t labels = 0;
    // Pages: PCL 5 form feeds and resets after printed content, PostScript %%Pages or its
    // %%Page comments, PCL XL EndPage.
    std::uint64_t pages = 0;
    // Raster images (ESC/POS GS v 0 and ESC *, ZPL ^GF and ~DG, PCL raster rows, EPL GW,
    // TSPL BITMAP, CPCL EG/CG, PCL XL images).
    std::uint64_t images = 0;
    // The images' data in bytes: the size the command gives the image where it gives one
    // (ZPL ^GF's total, CPCL EG, TSPL BITMAP: hex digits count as the bytes they make),
    // else the bytes carried (PCL rows as sent, compressed or not).
    std::uint64_t imageBytes = 0;
    // Commands marked with a problem.
    std::uint64_t problems = 0;
    // Commands decoded.
    std::uint64_t commands = 0;

    // A code page text is printed under (ESC/POS ESC t, ZPL ^CI), from where it was selected
    // or first printed under; the first CodePageLimit changes, in file order.
    struct CodePageUse {
        std::uint64_t offset = 0;
        std::string name;
    };
    static constexpr std::size_t CodePageLimit = 16;
    std::vector<CodePageUse> codePages;

    // Notes the page from `offset` on, unless it is the one noted last.
    void NoteCodePage(std::uint64_t offset, const std::string& name) {
        if (codePages.size() < CodePageLimit &&
            (codePages.empty() || codePages.back().name != name)) {
            codePages.push_back({offset, name});
        }
    }

    DocumentCounts& operator+=(const DocumentCounts& other) {
        labels += other.labels;
        pages += other.pages;
        images += other.images;
        imageBytes += other.imageBytes;
        problems += other.problems;
        commands += other.commands;
        for (const CodePageUse& use : other.codePages) {
            NoteCodePage(use.offset, use.name);
        }
        return *this;
    }
};
