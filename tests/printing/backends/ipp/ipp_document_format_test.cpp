#include "printing/backends/ipp/ipp_document_format.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> WithOctetStream{"application/pdf", "application/octet-stream",
                                               "application/vnd.hp-pcl"};
const std::vector<std::string> PdfAndPcl{"application/pdf", "application/vnd.hp-pcl"};
const std::vector<std::string> AllSniffable{"application/pdf",
                                            "application/postscript",
                                            "application/vnd.hp-pcl",
                                            "image/pwg-raster",
                                            "image/urf",
                                            "image/jpeg"};

struct Case {
    const char* what;
    std::string requested;
    std::vector<std::string> supported;
    std::string firstBytes;
    std::string expected; // the declared format, or empty when refused
};

TEST(IppDocumentFormatTest, ChoosesTheFormatToDeclare) {
    const std::vector<Case> cases{
        {"requested and listed", "application/vnd.hp-pcl", WithOctetStream, "%PDF-1.7",
         "application/vnd.hp-pcl"},
        {"requested, listed in another case", "Application/PDF", PdfAndPcl, "", "application/pdf"},
        {"requested, printer lists nothing", "application/x-zpl", {}, "^XA", "application/x-zpl"},
        {"requested but not listed", "application/postscript", WithOctetStream, "%!PS", ""},
        {"octet-stream listed wins over a signature", "", WithOctetStream, "%PDF-1.7",
         "application/octet-stream"},
        {"octet-stream listed takes unknown data", "", WithOctetStream, std::string("\0\1\2", 3),
         "application/octet-stream"},
        {"PDF", "", AllSniffable, "%PDF-1.4\n%", "application/pdf"},
        {"PostScript", "", AllSniffable, "%!PS-Adobe", "application/postscript"},
        {"PCL reset", "", AllSniffable,
         "\x1B"
         "E\x1B&l0O",
         "application/vnd.hp-pcl"},
        {"PJL universal exit", "", AllSniffable, "\x1B%-12345X@PJL", "application/vnd.hp-pcl"},
        {"PWG raster", "", AllSniffable, "RaS2PwgR", "image/pwg-raster"},
        {"Apple raster", "", AllSniffable, std::string("UNIRAST\0", 8), "image/urf"},
        {"JPEG", "", AllSniffable, "\xFF\xD8\xFF\xE0", "image/jpeg"},
        {"signature of a format not listed", "", PdfAndPcl, "%!PS-Adobe", ""},
        {"no signature, no octet-stream", "", PdfAndPcl, "^XA^FO50", ""},
        {"no data, no octet-stream", "", PdfAndPcl, "", ""},
        {"a signature cut short", "", PdfAndPcl, "%PD", ""},
        {"ESC alone is no PCL", "", PdfAndPcl,
         "\x1B"
         "@",
         ""},
        {"printer lists nothing: the signature", "", {}, "%PDF-", "application/pdf"},
        {"printer lists nothing, unknown data", "", {}, "ABC", "application/octet-stream"},
    };
    for (const Case& c : cases) {
        const IppDocumentFormat::Choice choice =
            IppDocumentFormat::Choose(c.requested, c.supported, c.firstBytes);
        EXPECT_EQ(choice.format, c.expected) << c.what;
        EXPECT_EQ(choice.error.empty(), !c.expected.empty()) << c.what << ": " << choice.error;
    }
}

// Every signature fits in the bytes the spooler waits for before it chooses.
TEST(IppDocumentFormatTest, SignaturesFitTheBytesLookedAt) {
    const std::string pjl = "\x1B%-12345X";
    EXPECT_EQ(IppDocumentFormat::Recognize(pjl), "application/vnd.hp-pcl");
    EXPECT_EQ(IppDocumentFormat::Recognize(pjl.substr(0, pjl.size() - 1)), "");
    EXPECT_GE(IppDocumentFormat::SignatureLength, pjl.size());
}

} // namespace
