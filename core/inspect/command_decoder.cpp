#include "core/inspect/command_decoder.h"

#include "core/inspect/cpcl_decoder.h"
#include "core/inspect/epl_decoder.h"
#include "core/inspect/escpos_decoder.h"
#include "core/inspect/pcl_decoder.h"
#include "core/inspect/pclxl_decoder.h"
#include "core/inspect/pjl_decoder.h"
#include "core/inspect/postscript_decoder.h"
#include "core/inspect/tspl_decoder.h"
#include "core/inspect/zpl_decoder.h"

std::unique_ptr<CommandDecoder> CommandDecoder::For(CommandLanguage language) {
    switch (language) {
    case CommandLanguage::EscPos:
        return std::make_unique<EscPosDecoder>();
    case CommandLanguage::Zpl:
        return std::make_unique<ZplDecoder>();
    case CommandLanguage::Pjl:
        return std::make_unique<PjlDecoder>();
    case CommandLanguage::Epl:
        return std::make_unique<EplDecoder>();
    case CommandLanguage::Pcl5:
        return std::make_unique<PclDecoder>();
    case CommandLanguage::Tspl:
        return std::make_unique<TsplDecoder>();
    case CommandLanguage::Cpcl:
        return std::make_unique<CpclDecoder>();
    case CommandLanguage::PostScript:
        return std::make_unique<PostScriptDecoder>();
    case CommandLanguage::PclXl:
        return std::make_unique<PclXlDecoder>();
    default:
        return nullptr;
    }
}
