#include "graphics/image_error_texts.h"

namespace nv {

const std::string_view kImageAllocFailText = "メモリ確保エラーです。[%s](%d, %d)";

std::string_view image_error_text(uint32_t code) {
  switch (code) {
    case 100010: return "メモリ不足です。";
    case 100030: return "%s\n\n[%s]\n対応していないファイルです。";
    case 100070: return "[%s]\n\nBMPファイルではないようです。";
    case 100080: return "[%s]\n\n異常なBMPファイルです。";
    case 100090: return "[%s]\n\n圧縮(RLE)BMPには対応していません。";
    case 100091: return "[%s]\n\n画像が大きすぎます。縦横どちらも 8192 ピクセル以内に抑えてください。";
    case 100092: return "[%s]\n\nトップダウン形式のBMPには対応していません。";
    case 100200: return "ＰＮＧ読込エラーです。";
    case 100210: return "ＪＰＥＧ読込エラーです。";
    case 100215: return "ＧＩＦ読込エラーです。";
    case 100220: return "ＰＳＤの読込は現段階ではまだ出来ません。";
    default: return {};
  }
}

}  // namespace nv
