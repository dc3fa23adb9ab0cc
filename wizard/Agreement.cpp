#include "wizard/Agreement.h"

namespace setup {

std::vector<std::u16string> EnglishAgreement(const std::u16string& displayName, bool isFreeware) {
  const std::u16string& n = displayName;
  return {
      u"End User License Agreement",
      u"",
      u"Using this software means that you accept the terms of this agreement and its warranty conditions, so "
      u"please read them carefully before you use " +
          n + u".",
      u"",
      u"1. Disclaimer of Warranty",
      u"",
      n + u" is provided \"as is\", without warranty of any kind, express or implied, including the warranties of "
          u"merchantability and fitness for a particular purpose. You use it at your own risk.",
      u"",
      u"In no event shall the author be liable for any loss of data, damage to hardware or software, loss of profit "
      u"or any other loss that arises from the use of this software or from being unable to use it.",
      u"",
      u"2. License",
      u"",
      isFreeware ? u"This software is freeware. You may use it on any number of computers, for as long as you like, "
                   u"without restriction and without charge."
                 : u"This software is licensed, not sold. One licence allows one person to install and use the "
                   u"software on up to two computers that he or she uses.",
      u"",
      isFreeware ? u"You may not use this software for commercial purposes, sell it or include it in a product for "
                   u"sale without the written permission of the author."
                 : u"Without a licence you may try the software for 30 days. After that you must either buy a "
                   u"licence or remove the software from your computers.",
      u"",
      u"3. Restrictions on Use",
      u"",
      u"You may not reverse engineer, decompile or disassemble this software, nor change, translate or make derived "
      u"works from any of its files.",
      u"",
      u"",
      u"Copyright (C) Velmora Software. All rights reserved.",
  };
}

std::vector<std::u16string> ChineseAgreement(const std::u16string& displayName, bool isFreeware) {
  const std::u16string& n = displayName;
  const std::u16string termination = u"如果您违反本协议的任何条款，本协议自动终止，您必须删除本软件的全部副本。";
  std::vector<std::u16string> lines = {
      n + u" 用户许可协议",
      u"",
      u"请在继续之前仔细阅读以下许可协议中的权利和限制条款。如果接受本协议，请继续安装；如果不接受，请退出安装程序。",
      u"",
      u"1. " + n + u"的知识产权归软件作者所有，受著作权法及有关国际条约的保护。",
      u"",
      u"2. 不得对本软件进行反向工程、反编译或反汇编，也不得修改本软件的任何文件。",
      u"",
      isFreeware ? u"3. 本软件是免费软件，您可以自由使用、复制和传播本软件，但未经作者许可，不得用于商业用途。"
                 : u"3. 您可以自由使用、复制和传播本软件，但未经作者许可，不得用于商业用途。",
      u"",
      u"4. 本软件不含任何恶意代码。因误用或非法使用本软件而造成的一切后果，由使用者自行承担。",
      u"",
  };
  if (isFreeware) {
    lines.push_back(u"5. " + termination);
  } else {
    lines.push_back(
        u"5. "
        u"本软件按许可证授权使用：每份许可证允许一人在其使用的最多两台计算机上安装和使用本软件。未购买许可证时可试用 "
        u"30 天，试用期满后请购买许可证或删除本软件。");
    lines.push_back(u"");
    lines.push_back(u"6. " + termination);
  }
  lines.insert(lines.end(), {u"", u"", u"版权所有 (C) 澜川软件工作室。保留所有权利。"});
  return lines;
}

}  // namespace setup
