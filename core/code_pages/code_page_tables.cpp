#include "core/code_pages/code_page_tables.h"

// Each table lists the characters of 0x80 to 0xFF in order, eight to a line.
namespace {

using CodePageTables::HighHalf;

// Code page 852, the PC's Central European (Latin 2) set.
constexpr HighHalf Oem852High{
    u'\u00C7', u'\u00FC', u'\u00E9', u'\u00E2', u'\u00E4', u'\u016F', u'\u0107', u'\u00E7', // 0x80
    u'\u0142', u'\u00EB', u'\u0150', u'\u0151', u'\u00EE', u'\u0179', u'\u00C4', u'\u0106',
    u'\u00C9', u'\u0139', u'\u013A', u'\u00F4', u'\u00F6', u'\u013D', u'\u013E', u'\u015A', // 0x90
    u'\u015B', u'\u00D6', u'\u00DC', u'\u0164', u'\u0165', u'\u0141', u'\u00D7', u'\u010D',
    u'\u00E1', u'\u00ED', u'\u00F3', u'\u00FA', u'\u0104', u'\u0105', u'\u017D', u'\u017E', // 0xA0
    u'\u0118', u'\u0119', u'\u00AC', u'\u017A', u'\u010C', u'\u015F', u'\u00AB', u'\u00BB',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u00C1', u'\u00C2', u'\u011A', // 0xB0
    u'\u015E', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u017B', u'\u017C', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u0102', u'\u0103', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u00A4',
    u'\u0111', u'\u0110', u'\u010E', u'\u00CB', u'\u010F', u'\u0147', u'\u00CD', u'\u00CE', // 0xD0
    u'\u011B', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u0162', u'\u016E', u'\u2580',
    u'\u00D3', u'\u00DF', u'\u00D4', u'\u0143', u'\u0144', u'\u0148', u'\u0160', u'\u0161', // 0xE0
    u'\u0154', u'\u00DA', u'\u0155', u'\u0170', u'\u00FD', u'\u00DD', u'\u0163', u'\u00B4',
    u'\u00AD', u'\u02DD', u'\u02DB', u'\u02C7', u'\u02D8', u'\u00A7', u'\u00F7', u'\u00B8', // 0xF0
    u'\u00B0', u'\u00A8', u'\u02D9', u'\u0171', u'\u0158', u'\u0159', u'\u25A0', u'\u00A0',
};

// Code page 858: 850 with the euro sign at 0xD5 in place of the dotless i.
constexpr HighHalf Oem858High{
    u'\u00C7', u'\u00FC', u'\u00E9', u'\u00E2', u'\u00E4', u'\u00E0', u'\u00E5', u'\u00E7', // 0x80
    u'\u00EA', u'\u00EB', u'\u00E8', u'\u00EF', u'\u00EE', u'\u00EC', u'\u00C4', u'\u00C5',
    u'\u00C9', u'\u00E6', u'\u00C6', u'\u00F4', u'\u00F6', u'\u00F2', u'\u00FB', u'\u00F9', // 0x90
    u'\u00FF', u'\u00D6', u'\u00DC', u'\u00F8', u'\u00A3', u'\u00D8', u'\u00D7', u'\u0192',
    u'\u00E1', u'\u00ED', u'\u00F3', u'\u00FA', u'\u00F1', u'\u00D1', u'\u00AA', u'\u00BA', // 0xA0
    u'\u00BF', u'\u00AE', u'\u00AC', u'\u00BD', u'\u00BC', u'\u00A1', u'\u00AB', u'\u00BB',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u00C1', u'\u00C2', u'\u00C0', // 0xB0
    u'\u00A9', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u00A2', u'\u00A5', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u00E3', u'\u00C3', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u00A4',
    u'\u00F0', u'\u00D0', u'\u00CA', u'\u00CB', u'\u00C8', u'\u20AC', u'\u00CD', u'\u00CE', // 0xD0
    u'\u00CF', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u00A6', u'\u00CC', u'\u2580',
    u'\u00D3', u'\u00DF', u'\u00D4', u'\u00D2', u'\u00F5', u'\u00D5', u'\u00B5', u'\u00FE', // 0xE0
    u'\u00DE', u'\u00DA', u'\u00DB', u'\u00D9', u'\u00FD', u'\u00DD', u'\u00AF', u'\u00B4',
    u'\u00AD', u'\u00B1', u'\u2017', u'\u00BE', u'\u00B6', u'\u00A7', u'\u00F7', u'\u00B8', // 0xF0
    u'\u00B0', u'\u00A8', u'\u00B7', u'\u00B9', u'\u00B3', u'\u00B2', u'\u25A0', u'\u00A0',
};

// Code page 860, Portuguese.
constexpr HighHalf Oem860High{
    u'\u00C7', u'\u00FC', u'\u00E9', u'\u00E2', u'\u00E3', u'\u00E0', u'\u00C1', u'\u00E7', // 0x80
    u'\u00EA', u'\u00CA', u'\u00E8', u'\u00CD', u'\u00D4', u'\u00EC', u'\u00C3', u'\u00C2',
    u'\u00C9', u'\u00C0', u'\u00C8', u'\u00F4', u'\u00F5', u'\u00F2', u'\u00DA', u'\u00F9', // 0x90
    u'\u00CC', u'\u00D5', u'\u00DC', u'\u00A2', u'\u00A3', u'\u00D9', u'\u20A7', u'\u00D3',
    u'\u00E1', u'\u00ED', u'\u00F3', u'\u00FA', u'\u00F1', u'\u00D1', u'\u00AA', u'\u00BA', // 0xA0
    u'\u00BF', u'\u00D2', u'\u00AC', u'\u00BD', u'\u00BC', u'\u00A1', u'\u00AB', u'\u00BB',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u2561', u'\u2562', u'\u2556', // 0xB0
    u'\u2555', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u255C', u'\u255B', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u255E', u'\u255F', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u2567',
    u'\u2568', u'\u2564', u'\u2565', u'\u2559', u'\u2558', u'\u2552', u'\u2553', u'\u256B', // 0xD0
    u'\u256A', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u258C', u'\u2590', u'\u2580',
    u'\u03B1', u'\u00DF', u'\u0393', u'\u03C0', u'\u03A3', u'\u03C3', u'\u00B5', u'\u03C4', // 0xE0
    u'\u03A6', u'\u0398', u'\u03A9', u'\u03B4', u'\u221E', u'\u03C6', u'\u03B5', u'\u2229',
    u'\u2261', u'\u00B1', u'\u2265', u'\u2264', u'\u2320', u'\u2321', u'\u00F7', u'\u2248', // 0xF0
    u'\u00B0', u'\u2219', u'\u00B7', u'\u221A', u'\u207F', u'\u00B2', u'\u25A0', u'\u00A0',
};

// Code page 863, Canadian French.
constexpr HighHalf Oem863High{
    u'\u00C7', u'\u00FC', u'\u00E9', u'\u00E2', u'\u00C2', u'\u00E0', u'\u00B6', u'\u00E7', // 0x80
    u'\u00EA', u'\u00EB', u'\u00E8', u'\u00EF', u'\u00EE', u'\u2017', u'\u00C0', u'\u00A7',
    u'\u00C9', u'\u00C8', u'\u00CA', u'\u00F4', u'\u00CB', u'\u00CF', u'\u00FB', u'\u00F9', // 0x90
    u'\u00A4', u'\u00D4', u'\u00DC', u'\u00A2', u'\u00A3', u'\u00D9', u'\u00DB', u'\u0192',
    u'\u00A6', u'\u00B4', u'\u00F3', u'\u00FA', u'\u00A8', u'\u00B8', u'\u00B3', u'\u00AF', // 0xA0
    u'\u00CE', u'\u2310', u'\u00AC', u'\u00BD', u'\u00BC', u'\u00BE', u'\u00AB', u'\u00BB',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u2561', u'\u2562', u'\u2556', // 0xB0
    u'\u2555', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u255C', u'\u255B', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u255E', u'\u255F', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u2567',
    u'\u2568', u'\u2564', u'\u2565', u'\u2559', u'\u2558', u'\u2552', u'\u2553', u'\u256B', // 0xD0
    u'\u256A', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u258C', u'\u2590', u'\u2580',
    u'\u03B1', u'\u00DF', u'\u0393', u'\u03C0', u'\u03A3', u'\u03C3', u'\u00B5', u'\u03C4', // 0xE0
    u'\u03A6', u'\u0398', u'\u03A9', u'\u03B4', u'\u221E', u'\u03C6', u'\u03B5', u'\u2229',
    u'\u2261', u'\u00B1', u'\u2265', u'\u2264', u'\u2320', u'\u2321', u'\u00F7', u'\u2248', // 0xF0
    u'\u00B0', u'\u2219', u'\u00B7', u'\u221A', u'\u207F', u'\u00B2', u'\u25A0', u'\u00A0',
};

// Code page 865, Nordic: 437 with the Danish and Norwegian letters.
constexpr HighHalf Oem865High{
    u'\u00C7', u'\u00FC', u'\u00E9', u'\u00E2', u'\u00E4', u'\u00E0', u'\u00E5', u'\u00E7', // 0x80
    u'\u00EA', u'\u00EB', u'\u00E8', u'\u00EF', u'\u00EE', u'\u00EC', u'\u00C4', u'\u00C5',
    u'\u00C9', u'\u00E6', u'\u00C6', u'\u00F4', u'\u00F6', u'\u00F2', u'\u00FB', u'\u00F9', // 0x90
    u'\u00FF', u'\u00D6', u'\u00DC', u'\u00F8', u'\u00A3', u'\u00D8', u'\u20A7', u'\u0192',
    u'\u00E1', u'\u00ED', u'\u00F3', u'\u00FA', u'\u00F1', u'\u00D1', u'\u00AA', u'\u00BA', // 0xA0
    u'\u00BF', u'\u2310', u'\u00AC', u'\u00BD', u'\u00BC', u'\u00A1', u'\u00AB', u'\u00A4',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u2561', u'\u2562', u'\u2556', // 0xB0
    u'\u2555', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u255C', u'\u255B', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u255E', u'\u255F', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u2567',
    u'\u2568', u'\u2564', u'\u2565', u'\u2559', u'\u2558', u'\u2552', u'\u2553', u'\u256B', // 0xD0
    u'\u256A', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u258C', u'\u2590', u'\u2580',
    u'\u03B1', u'\u00DF', u'\u0393', u'\u03C0', u'\u03A3', u'\u03C3', u'\u00B5', u'\u03C4', // 0xE0
    u'\u03A6', u'\u0398', u'\u03A9', u'\u03B4', u'\u221E', u'\u03C6', u'\u03B5', u'\u2229',
    u'\u2261', u'\u00B1', u'\u2265', u'\u2264', u'\u2320', u'\u2321', u'\u00F7', u'\u2248', // 0xF0
    u'\u00B0', u'\u2219', u'\u00B7', u'\u221A', u'\u207F', u'\u00B2', u'\u25A0', u'\u00A0',
};

// Code page 866, Cyrillic (Russian).
constexpr HighHalf Oem866High{
    u'\u0410', u'\u0411', u'\u0412', u'\u0413', u'\u0414', u'\u0415', u'\u0416', u'\u0417', // 0x80
    u'\u0418', u'\u0419', u'\u041A', u'\u041B', u'\u041C', u'\u041D', u'\u041E', u'\u041F',
    u'\u0420', u'\u0421', u'\u0422', u'\u0423', u'\u0424', u'\u0425', u'\u0426', u'\u0427', // 0x90
    u'\u0428', u'\u0429', u'\u042A', u'\u042B', u'\u042C', u'\u042D', u'\u042E', u'\u042F',
    u'\u0430', u'\u0431', u'\u0432', u'\u0433', u'\u0434', u'\u0435', u'\u0436', u'\u0437', // 0xA0
    u'\u0438', u'\u0439', u'\u043A', u'\u043B', u'\u043C', u'\u043D', u'\u043E', u'\u043F',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u2561', u'\u2562', u'\u2556', // 0xB0
    u'\u2555', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u255C', u'\u255B', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u255E', u'\u255F', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u2567',
    u'\u2568', u'\u2564', u'\u2565', u'\u2559', u'\u2558', u'\u2552', u'\u2553', u'\u256B', // 0xD0
    u'\u256A', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u258C', u'\u2590', u'\u2580',
    u'\u0440', u'\u0441', u'\u0442', u'\u0443', u'\u0444', u'\u0445', u'\u0446', u'\u0447', // 0xE0
    u'\u0448', u'\u0449', u'\u044A', u'\u044B', u'\u044C', u'\u044D', u'\u044E', u'\u044F',
    u'\u0401', u'\u0451', u'\u0404', u'\u0454', u'\u0407', u'\u0457', u'\u040E', u'\u045E', // 0xF0
    u'\u00B0', u'\u2219', u'\u00B7', u'\u221A', u'\u2116', u'\u00A4', u'\u25A0', u'\u00A0',
};

// Code page 737, Greek.
constexpr HighHalf Oem737High{
    u'\u0391', u'\u0392', u'\u0393', u'\u0394', u'\u0395', u'\u0396', u'\u0397', u'\u0398', // 0x80
    u'\u0399', u'\u039A', u'\u039B', u'\u039C', u'\u039D', u'\u039E', u'\u039F', u'\u03A0',
    u'\u03A1', u'\u03A3', u'\u03A4', u'\u03A5', u'\u03A6', u'\u03A7', u'\u03A8', u'\u03A9', // 0x90
    u'\u03B1', u'\u03B2', u'\u03B3', u'\u03B4', u'\u03B5', u'\u03B6', u'\u03B7', u'\u03B8',
    u'\u03B9', u'\u03BA', u'\u03BB', u'\u03BC', u'\u03BD', u'\u03BE', u'\u03BF', u'\u03C0', // 0xA0
    u'\u03C1', u'\u03C3', u'\u03C2', u'\u03C4', u'\u03C5', u'\u03C6', u'\u03C7', u'\u03C8',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u2561', u'\u2562', u'\u2556', // 0xB0
    u'\u2555', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u255C', u'\u255B', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u255E', u'\u255F', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u2567',
    u'\u2568', u'\u2564', u'\u2565', u'\u2559', u'\u2558', u'\u2552', u'\u2553', u'\u256B', // 0xD0
    u'\u256A', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u258C', u'\u2590', u'\u2580',
    u'\u03C9', u'\u03AC', u'\u03AD', u'\u03AE', u'\u03CA', u'\u03AF', u'\u03CC', u'\u03CD', // 0xE0
    u'\u03CB', u'\u03CE', u'\u0386', u'\u0388', u'\u0389', u'\u038A', u'\u038C', u'\u038E',
    u'\u038F', u'\u00B1', u'\u2265', u'\u2264', u'\u03AA', u'\u03AB', u'\u00F7', u'\u2248', // 0xF0
    u'\u00B0', u'\u2219', u'\u00B7', u'\u221A', u'\u207F', u'\u00B2', u'\u25A0', u'\u00A0',
};

// Code page 775, Baltic.
constexpr HighHalf Oem775High{
    u'\u0106', u'\u00FC', u'\u00E9', u'\u0101', u'\u00E4', u'\u0123', u'\u00E5', u'\u0107', // 0x80
    u'\u0142', u'\u0113', u'\u0156', u'\u0157', u'\u012B', u'\u0179', u'\u00C4', u'\u00C5',
    u'\u00C9', u'\u00E6', u'\u00C6', u'\u014D', u'\u00F6', u'\u0122', u'\u00A2', u'\u015A', // 0x90
    u'\u015B', u'\u00D6', u'\u00DC', u'\u00F8', u'\u00A3', u'\u00D8', u'\u00D7', u'\u00A4',
    u'\u0100', u'\u012A', u'\u00F3', u'\u017B', u'\u017C', u'\u017A', u'\u201D', u'\u00A6', // 0xA0
    u'\u00A9', u'\u00AE', u'\u00AC', u'\u00BD', u'\u00BC', u'\u0141', u'\u00AB', u'\u00BB',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u0104', u'\u010C', u'\u0118', // 0xB0
    u'\u0116', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u012E', u'\u0160', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u0172', u'\u016A', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u017D',
    u'\u0105', u'\u010D', u'\u0119', u'\u0117', u'\u012F', u'\u0161', u'\u0173', u'\u016B', // 0xD0
    u'\u017E', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u258C', u'\u2590', u'\u2580',
    u'\u00D3', u'\u00DF', u'\u014C', u'\u0143', u'\u00F5', u'\u00D5', u'\u00B5', u'\u0144', // 0xE0
    u'\u0136', u'\u0137', u'\u013B', u'\u013C', u'\u0146', u'\u0112', u'\u0145', u'\u2019',
    u'\u00AD', u'\u00B1', u'\u201C', u'\u00BE', u'\u00B6', u'\u00A7', u'\u00F7', u'\u201E', // 0xF0
    u'\u00B0', u'\u2219', u'\u00B7', u'\u00B9', u'\u00B3', u'\u00B2', u'\u25A0', u'\u00A0',
};

// Code page 855, Cyrillic.
constexpr HighHalf Oem855High{
    u'\u0452', u'\u0402', u'\u0453', u'\u0403', u'\u0451', u'\u0401', u'\u0454', u'\u0404', // 0x80
    u'\u0455', u'\u0405', u'\u0456', u'\u0406', u'\u0457', u'\u0407', u'\u0458', u'\u0408',
    u'\u0459', u'\u0409', u'\u045A', u'\u040A', u'\u045B', u'\u040B', u'\u045C', u'\u040C', // 0x90
    u'\u045E', u'\u040E', u'\u045F', u'\u040F', u'\u044E', u'\u042E', u'\u044A', u'\u042A',
    u'\u0430', u'\u0410', u'\u0431', u'\u0411', u'\u0446', u'\u0426', u'\u0434', u'\u0414', // 0xA0
    u'\u0435', u'\u0415', u'\u0444', u'\u0424', u'\u0433', u'\u0413', u'\u00AB', u'\u00BB',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u0445', u'\u0425', u'\u0438', // 0xB0
    u'\u0418', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u0439', u'\u0419', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u043A', u'\u041A', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u00A4',
    u'\u043B', u'\u041B', u'\u043C', u'\u041C', u'\u043D', u'\u041D', u'\u043E', u'\u041E', // 0xD0
    u'\u043F', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u041F', u'\u044F', u'\u2580',
    u'\u042F', u'\u0440', u'\u0420', u'\u0441', u'\u0421', u'\u0442', u'\u0422', u'\u0443', // 0xE0
    u'\u0423', u'\u0436', u'\u0416', u'\u0432', u'\u0412', u'\u044C', u'\u042C', u'\u2116',
    u'\u00AD', u'\u044B', u'\u042B', u'\u0437', u'\u0417', u'\u0448', u'\u0428', u'\u044D', // 0xF0
    u'\u042D', u'\u0449', u'\u0429', u'\u0447', u'\u0427', u'\u00A7', u'\u25A0', u'\u00A0',
};

// Code page 861, Icelandic.
constexpr HighHalf Oem861High{
    u'\u00C7', u'\u00FC', u'\u00E9', u'\u00E2', u'\u00E4', u'\u00E0', u'\u00E5', u'\u00E7', // 0x80
    u'\u00EA', u'\u00EB', u'\u00E8', u'\u00D0', u'\u00F0', u'\u00DE', u'\u00C4', u'\u00C5',
    u'\u00C9', u'\u00E6', u'\u00C6', u'\u00F4', u'\u00F6', u'\u00FE', u'\u00FB', u'\u00DD', // 0x90
    u'\u00FD', u'\u00D6', u'\u00DC', u'\u00F8', u'\u00A3', u'\u00D8', u'\u20A7', u'\u0192',
    u'\u00E1', u'\u00ED', u'\u00F3', u'\u00FA', u'\u00C1', u'\u00CD', u'\u00D3', u'\u00DA', // 0xA0
    u'\u00BF', u'\u2310', u'\u00AC', u'\u00BD', u'\u00BC', u'\u00A1', u'\u00AB', u'\u00BB',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u2561', u'\u2562', u'\u2556', // 0xB0
    u'\u2555', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u255C', u'\u255B', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u255E', u'\u255F', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u2567',
    u'\u2568', u'\u2564', u'\u2565', u'\u2559', u'\u2558', u'\u2552', u'\u2553', u'\u256B', // 0xD0
    u'\u256A', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u258C', u'\u2590', u'\u2580',
    u'\u03B1', u'\u00DF', u'\u0393', u'\u03C0', u'\u03A3', u'\u03C3', u'\u00B5', u'\u03C4', // 0xE0
    u'\u03A6', u'\u0398', u'\u03A9', u'\u03B4', u'\u221E', u'\u03C6', u'\u03B5', u'\u2229',
    u'\u2261', u'\u00B1', u'\u2265', u'\u2264', u'\u2320', u'\u2321', u'\u00F7', u'\u2248', // 0xF0
    u'\u00B0', u'\u2219', u'\u00B7', u'\u221A', u'\u207F', u'\u00B2', u'\u25A0', u'\u00A0',
};

// Code page 862, Hebrew.
constexpr HighHalf Oem862High{
    u'\u05D0', u'\u05D1', u'\u05D2', u'\u05D3', u'\u05D4', u'\u05D5', u'\u05D6', u'\u05D7', // 0x80
    u'\u05D8', u'\u05D9', u'\u05DA', u'\u05DB', u'\u05DC', u'\u05DD', u'\u05DE', u'\u05DF',
    u'\u05E0', u'\u05E1', u'\u05E2', u'\u05E3', u'\u05E4', u'\u05E5', u'\u05E6', u'\u05E7', // 0x90
    u'\u05E8', u'\u05E9', u'\u05EA', u'\u00A2', u'\u00A3', u'\u00A5', u'\u20A7', u'\u0192',
    u'\u00E1', u'\u00ED', u'\u00F3', u'\u00FA', u'\u00F1', u'\u00D1', u'\u00AA', u'\u00BA', // 0xA0
    u'\u00BF', u'\u2310', u'\u00AC', u'\u00BD', u'\u00BC', u'\u00A1', u'\u00AB', u'\u00BB',
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u2561', u'\u2562', u'\u2556', // 0xB0
    u'\u2555', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u255C', u'\u255B', u'\u2510',
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u255E', u'\u255F', // 0xC0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u2567',
    u'\u2568', u'\u2564', u'\u2565', u'\u2559', u'\u2558', u'\u2552', u'\u2553', u'\u256B', // 0xD0
    u'\u256A', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u258C', u'\u2590', u'\u2580',
    u'\u03B1', u'\u00DF', u'\u0393', u'\u03C0', u'\u03A3', u'\u03C3', u'\u00B5', u'\u03C4', // 0xE0
    u'\u03A6', u'\u0398', u'\u03A9', u'\u03B4', u'\u221E', u'\u03C6', u'\u03B5', u'\u2229',
    u'\u2261', u'\u00B1', u'\u2265', u'\u2264', u'\u2320', u'\u2321', u'\u00F7', u'\u2248', // 0xF0
    u'\u00B0', u'\u2219', u'\u00B7', u'\u221A', u'\u207F', u'\u00B2', u'\u25A0', u'\u00A0',
};

// Windows-1250, Central European; its unassigned positions keep their C1 code point.
constexpr HighHalf Windows1250High{
    u'\u20AC', u'\u0081', u'\u201A', u'\u0083', u'\u201E', u'\u2026', u'\u2020', u'\u2021', // 0x80
    u'\u0088', u'\u2030', u'\u0160', u'\u2039', u'\u015A', u'\u0164', u'\u017D', u'\u0179',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014', // 0x90
    u'\u0098', u'\u2122', u'\u0161', u'\u203A', u'\u015B', u'\u0165', u'\u017E', u'\u017A',
    u'\u00A0', u'\u02C7', u'\u02D8', u'\u0141', u'\u00A4', u'\u0104', u'\u00A6', u'\u00A7', // 0xA0
    u'\u00A8', u'\u00A9', u'\u015E', u'\u00AB', u'\u00AC', u'\u00AD', u'\u00AE', u'\u017B',
    u'\u00B0', u'\u00B1', u'\u02DB', u'\u0142', u'\u00B4', u'\u00B5', u'\u00B6', u'\u00B7', // 0xB0
    u'\u00B8', u'\u0105', u'\u015F', u'\u00BB', u'\u013D', u'\u02DD', u'\u013E', u'\u017C',
    u'\u0154', u'\u00C1', u'\u00C2', u'\u0102', u'\u00C4', u'\u0139', u'\u0106', u'\u00C7', // 0xC0
    u'\u010C', u'\u00C9', u'\u0118', u'\u00CB', u'\u011A', u'\u00CD', u'\u00CE', u'\u010E',
    u'\u0110', u'\u0143', u'\u0147', u'\u00D3', u'\u00D4', u'\u0150', u'\u00D6', u'\u00D7', // 0xD0
    u'\u0158', u'\u016E', u'\u00DA', u'\u0170', u'\u00DC', u'\u00DD', u'\u0162', u'\u00DF',
    u'\u0155', u'\u00E1', u'\u00E2', u'\u0103', u'\u00E4', u'\u013A', u'\u0107', u'\u00E7', // 0xE0
    u'\u010D', u'\u00E9', u'\u0119', u'\u00EB', u'\u011B', u'\u00ED', u'\u00EE', u'\u010F',
    u'\u0111', u'\u0144', u'\u0148', u'\u00F3', u'\u00F4', u'\u0151', u'\u00F6', u'\u00F7', // 0xF0
    u'\u0159', u'\u016F', u'\u00FA', u'\u0171', u'\u00FC', u'\u00FD', u'\u0163', u'\u02D9',
};

// Windows-1251, Cyrillic; 0x98, unassigned, keeps its C1 code point.
constexpr HighHalf Windows1251High{
    u'\u0402', u'\u0403', u'\u201A', u'\u0453', u'\u201E', u'\u2026', u'\u2020', u'\u2021', // 0x80
    u'\u20AC', u'\u2030', u'\u0409', u'\u2039', u'\u040A', u'\u040C', u'\u040B', u'\u040F',
    u'\u0452', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014', // 0x90
    u'\u0098', u'\u2122', u'\u0459', u'\u203A', u'\u045A', u'\u045C', u'\u045B', u'\u045F',
    u'\u00A0', u'\u040E', u'\u045E', u'\u0408', u'\u00A4', u'\u0490', u'\u00A6', u'\u00A7', // 0xA0
    u'\u0401', u'\u00A9', u'\u0404', u'\u00AB', u'\u00AC', u'\u00AD', u'\u00AE', u'\u0407',
    u'\u00B0', u'\u00B1', u'\u0406', u'\u0456', u'\u0491', u'\u00B5', u'\u00B6', u'\u00B7', // 0xB0
    u'\u0451', u'\u2116', u'\u0454', u'\u00BB', u'\u0458', u'\u0405', u'\u0455', u'\u0457',
    u'\u0410', u'\u0411', u'\u0412', u'\u0413', u'\u0414', u'\u0415', u'\u0416', u'\u0417', // 0xC0
    u'\u0418', u'\u0419', u'\u041A', u'\u041B', u'\u041C', u'\u041D', u'\u041E', u'\u041F',
    u'\u0420', u'\u0421', u'\u0422', u'\u0423', u'\u0424', u'\u0425', u'\u0426', u'\u0427', // 0xD0
    u'\u0428', u'\u0429', u'\u042A', u'\u042B', u'\u042C', u'\u042D', u'\u042E', u'\u042F',
    u'\u0430', u'\u0431', u'\u0432', u'\u0433', u'\u0434', u'\u0435', u'\u0436', u'\u0437', // 0xE0
    u'\u0438', u'\u0439', u'\u043A', u'\u043B', u'\u043C', u'\u043D', u'\u043E', u'\u043F',
    u'\u0440', u'\u0441', u'\u0442', u'\u0443', u'\u0444', u'\u0445', u'\u0446', u'\u0447', // 0xF0
    u'\u0448', u'\u0449', u'\u044A', u'\u044B', u'\u044C', u'\u044D', u'\u044E', u'\u044F',
};

// Windows-1254, Turkish; its unassigned positions keep their C1 code point.
constexpr HighHalf Windows1254High{
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021', // 0x80
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u008E', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014', // 0x90
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u009E', u'\u0178',
    u'\u00A0', u'\u00A1', u'\u00A2', u'\u00A3', u'\u00A4', u'\u00A5', u'\u00A6', u'\u00A7', // 0xA0
    u'\u00A8', u'\u00A9', u'\u00AA', u'\u00AB', u'\u00AC', u'\u00AD', u'\u00AE', u'\u00AF',
    u'\u00B0', u'\u00B1', u'\u00B2', u'\u00B3', u'\u00B4', u'\u00B5', u'\u00B6', u'\u00B7', // 0xB0
    u'\u00B8', u'\u00B9', u'\u00BA', u'\u00BB', u'\u00BC', u'\u00BD', u'\u00BE', u'\u00BF',
    u'\u00C0', u'\u00C1', u'\u00C2', u'\u00C3', u'\u00C4', u'\u00C5', u'\u00C6', u'\u00C7', // 0xC0
    u'\u00C8', u'\u00C9', u'\u00CA', u'\u00CB', u'\u00CC', u'\u00CD', u'\u00CE', u'\u00CF',
    u'\u011E', u'\u00D1', u'\u00D2', u'\u00D3', u'\u00D4', u'\u00D5', u'\u00D6', u'\u00D7', // 0xD0
    u'\u00D8', u'\u00D9', u'\u00DA', u'\u00DB', u'\u00DC', u'\u0130', u'\u015E', u'\u00DF',
    u'\u00E0', u'\u00E1', u'\u00E2', u'\u00E3', u'\u00E4', u'\u00E5', u'\u00E6', u'\u00E7', // 0xE0
    u'\u00E8', u'\u00E9', u'\u00EA', u'\u00EB', u'\u00EC', u'\u00ED', u'\u00EE', u'\u00EF',
    u'\u011F', u'\u00F1', u'\u00F2', u'\u00F3', u'\u00F4', u'\u00F5', u'\u00F6', u'\u00F7', // 0xF0
    u'\u00F8', u'\u00F9', u'\u00FA', u'\u00FB', u'\u00FC', u'\u0131', u'\u015F', u'\u00FF',
};

// ISO 8859-2, Latin 2; 0x80 to 0x9F are the C1 controls.
constexpr HighHalf Iso88592High{
    u'\u0080', u'\u0081', u'\u0082', u'\u0083', u'\u0084', u'\u0085', u'\u0086', u'\u0087', // 0x80
    u'\u0088', u'\u0089', u'\u008A', u'\u008B', u'\u008C', u'\u008D', u'\u008E', u'\u008F',
    u'\u0090', u'\u0091', u'\u0092', u'\u0093', u'\u0094', u'\u0095', u'\u0096', u'\u0097', // 0x90
    u'\u0098', u'\u0099', u'\u009A', u'\u009B', u'\u009C', u'\u009D', u'\u009E', u'\u009F',
    u'\u00A0', u'\u0104', u'\u02D8', u'\u0141', u'\u00A4', u'\u013D', u'\u015A', u'\u00A7', // 0xA0
    u'\u00A8', u'\u0160', u'\u015E', u'\u0164', u'\u0179', u'\u00AD', u'\u017D', u'\u017B',
    u'\u00B0', u'\u0105', u'\u02DB', u'\u0142', u'\u00B4', u'\u013E', u'\u015B', u'\u02C7', // 0xB0
    u'\u00B8', u'\u0161', u'\u015F', u'\u0165', u'\u017A', u'\u02DD', u'\u017E', u'\u017C',
    u'\u0154', u'\u00C1', u'\u00C2', u'\u0102', u'\u00C4', u'\u0139', u'\u0106', u'\u00C7', // 0xC0
    u'\u010C', u'\u00C9', u'\u0118', u'\u00CB', u'\u011A', u'\u00CD', u'\u00CE', u'\u010E',
    u'\u0110', u'\u0143', u'\u0147', u'\u00D3', u'\u00D4', u'\u0150', u'\u00D6', u'\u00D7', // 0xD0
    u'\u0158', u'\u016E', u'\u00DA', u'\u0170', u'\u00DC', u'\u00DD', u'\u0162', u'\u00DF',
    u'\u0155', u'\u00E1', u'\u00E2', u'\u0103', u'\u00E4', u'\u013A', u'\u0107', u'\u00E7', // 0xE0
    u'\u010D', u'\u00E9', u'\u0119', u'\u00EB', u'\u011B', u'\u00ED', u'\u00EE', u'\u010F',
    u'\u0111', u'\u0144', u'\u0148', u'\u00F3', u'\u00F4', u'\u0151', u'\u00F6', u'\u00F7', // 0xF0
    u'\u0159', u'\u016F', u'\u00FA', u'\u0171', u'\u00FC', u'\u00FD', u'\u0163', u'\u02D9',
};

// ISO 8859-15, Latin 9 (Latin 1 with the euro sign); 0x80 to 0x9F are the C1 controls.
constexpr HighHalf Iso885915High{
    u'\u0080', u'\u0081', u'\u0082', u'\u0083', u'\u0084', u'\u0085', u'\u0086', u'\u0087', // 0x80
    u'\u0088', u'\u0089', u'\u008A', u'\u008B', u'\u008C', u'\u008D', u'\u008E', u'\u008F',
    u'\u0090', u'\u0091', u'\u0092', u'\u0093', u'\u0094', u'\u0095', u'\u0096', u'\u0097', // 0x90
    u'\u0098', u'\u0099', u'\u009A', u'\u009B', u'\u009C', u'\u009D', u'\u009E', u'\u009F',
    u'\u00A0', u'\u00A1', u'\u00A2', u'\u00A3', u'\u20AC', u'\u00A5', u'\u0160', u'\u00A7', // 0xA0
    u'\u0161', u'\u00A9', u'\u00AA', u'\u00AB', u'\u00AC', u'\u00AD', u'\u00AE', u'\u00AF',
    u'\u00B0', u'\u00B1', u'\u00B2', u'\u00B3', u'\u017D', u'\u00B5', u'\u00B6', u'\u00B7', // 0xB0
    u'\u017E', u'\u00B9', u'\u00BA', u'\u00BB', u'\u0152', u'\u0153', u'\u0178', u'\u00BF',
    u'\u00C0', u'\u00C1', u'\u00C2', u'\u00C3', u'\u00C4', u'\u00C5', u'\u00C6', u'\u00C7', // 0xC0
    u'\u00C8', u'\u00C9', u'\u00CA', u'\u00CB', u'\u00CC', u'\u00CD', u'\u00CE', u'\u00CF',
    u'\u00D0', u'\u00D1', u'\u00D2', u'\u00D3', u'\u00D4', u'\u00D5', u'\u00D6', u'\u00D7', // 0xD0
    u'\u00D8', u'\u00D9', u'\u00DA', u'\u00DB', u'\u00DC', u'\u00DD', u'\u00DE', u'\u00DF',
    u'\u00E0', u'\u00E1', u'\u00E2', u'\u00E3', u'\u00E4', u'\u00E5', u'\u00E6', u'\u00E7', // 0xE0
    u'\u00E8', u'\u00E9', u'\u00EA', u'\u00EB', u'\u00EC', u'\u00ED', u'\u00EE', u'\u00EF',
    u'\u00F0', u'\u00F1', u'\u00F2', u'\u00F3', u'\u00F4', u'\u00F5', u'\u00F6', u'\u00F7', // 0xF0
    u'\u00F8', u'\u00F9', u'\u00FA', u'\u00FB', u'\u00FC', u'\u00FD', u'\u00FE', u'\u00FF',
};
constexpr CodePageTables::Table Tables[] = {
    {"cp852", &Oem852High},          {"cp858", &Oem858High},       {"cp860", &Oem860High},
    {"cp863", &Oem863High},          {"cp865", &Oem865High},       {"cp866", &Oem866High},
    {"cp737", &Oem737High},          {"cp775", &Oem775High},       {"cp855", &Oem855High},
    {"cp861", &Oem861High},          {"cp862", &Oem862High},       {"cp1250", &Windows1250High},
    {"cp1251", &Windows1251High},    {"cp1254", &Windows1254High}, {"iso-8859-2", &Iso88592High},
    {"iso-8859-15", &Iso885915High},
};

} // namespace

namespace CodePageTables {

std::span<const Table> All() {
    return Tables;
}

} // namespace CodePageTables
