#include "core/error_texts.h"

namespace nv {

const std::string_view kUnknownErrorText =
    "[内部エラー]\n\nエラー文字列の指定ミスです。\nシステム開発者までお問い合わせください。";
const std::string_view kErrorCaption = "Nivalo Debug Info.";

std::string_view builtin_error_text(uint32_t code) {
  switch (code) {
    case 100000:
      return "Nivalo uses these libraries:\n\n"
             "zlib - Copyright (C) 1995-2022 Jean-loup Gailly and Mark Adler (zlib licence)\n"
             "libpng - Copyright (c) 1995-2022 The PNG Reference Library Authors (libpng licence)\n"
             "libjpeg-turbo - Copyright (C) 1991-2020 Thomas G. Lane, Guido Vollbeding, D. R. Commander "
             "(IJG licence, modified BSD licence)\n"
             "libogg, libvorbis - Copyright (c) 2002-2020 Xiph.org Foundation (BSD licence)\n"
             "FreeType - Copyright (C) 1996-2022 The FreeType Project (FreeType licence)\n"
             "Fontconfig - Copyright (C) 2000-2007 Keith Packard and others (MIT licence)\n"
             "libdeflate - Copyright 2016 Eric Biggers (MIT licence)\n"
             "SDL2 - Copyright (C) 1997-2022 Sam Lantinga (zlib licence)";
    case 100010: return "メモリ不足です。";
    case 104010: return "[%s]ファイルを\n読み込めませんでした。";
    case 104030: return "メモリ不足のため[%s]ファイルを\n読み込めませんでした。";
    case 104060: return "[%s]ファイルが\n存在しません。";
    case 104100: return "パックファイル中に破損ファイルが見つかりました。\n\nPacFile = %s\nFile = %s";
    case 104110: return "フォルダの数が多すぎます。";
    case 104111: return "フォルダの階層が深すぎます。";
    case 104120: return "パックファイル仕様が現在の仕様と一致しません。\n\n[%s]";
    case 104130: return "パックファイルを同時に扱えるのは %d 個までです。";
    case 104140: return "パックファイル内に含まれるファイルが、合計 %d 個を超えました。";
    case 104150: return "パックファイル内のファイル\n[%s]が\n重複しています。";
    case 106010: return "メモリ不足により\n[%s]ファイルを展開出来ませんでした。";
    case 900040: return "[内部エラー]\n\nバッファ不足により\n[%s]ファイルを展開出来ませんでした。";
    case 901040: return "[内部エラー]\n\nパックファイル[%s]が\nオープンできませんでした。";
    // The title configuration is read before the error table, so its two
    // errors need texts of their own to be shown as themselves.
    case 901000: return "[内部エラー]\n\nタイトルバー名が不正です。";
    case 901020: return "[内部エラー]\n\n画面サイズの値が不正です。";
    default: return {};
  }
}

}  // namespace nv
