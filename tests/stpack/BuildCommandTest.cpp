// stpack build with small synthetic stubs: what it writes into Setup.exe and Uninst.exe, that the
// same inputs give the same bytes, and that a faulty product writes nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <system_error>

#include "StpackFixture.h"
#include "pe/PeImage.h"
#include "pe/ResourceSection.h"
#include "pe/StringTable.h"
#include "tests/pe/SyntheticPe.h"
#include "tests/support/TestPictures.h"

namespace setup::testing_support {
namespace {

const std::string kBmp = std::string("BM\x3A\0\0\0\0\0\0\0\x36\0\0\0", 14) +
                         std::string("\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0", 24) +
                         std::string(16, '\0') + std::string("\x10\x20\x30\0", 4);

const std::string kProduct =
    "MainWindowClass = ProbeWindow\nMainWindowTitle = Probe\nMainWindowTitleChinese = 探针\n"
    "DisplayName = Velmora Probe\nDisplayNameChinese = 澜川探针\nFreeware = true\nShortName = Probe\n"
    "Version = 1.2.3\nSpaceText = 1 MB\nPublisher = Probe Works\nFiles = files\nImageLeft0 = left.jpg\n"
    "ImageLeft2 = left.jpg\nImageIcon = icon.bmp\n";

// The stubs' manifest, as far as the execution level goes, and what a per-user product makes of it.
const std::string kElevatedManifest =
    R"(<assembly><requestedExecutionLevel level="requireAdministrator" uiAccess="false"/></assembly>)";
const std::string kAsInvokerManifest =
    R"(<assembly><requestedExecutionLevel level="asInvoker" uiAccess="false"/></assembly>)";

pe::Bytes ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return pe::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class BuildCommand : public StpackTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(Temp(u"product/files/sub"));
    std::filesystem::create_directories(Temp(u"product/files/$System$"));
    std::filesystem::create_directories(Temp(u"stubs"));
    Write(u"product/product.ini", kProduct);
    Write(u"product/left.jpg", kTinyJpeg);
    Write(u"product/icon.bmp", kBmp);
    Write(u"product/files/ReadMe.txt", "read me");
    Write(u"product/files/sub/deeper.txt", "deeper");
    Write(u"product/files/$System$/Shared.dll", "shared");
    WriteStub(u"stubs/setup_stub.exe", 0x11);
    WriteStub(u"stubs/uninst_stub.exe", 0x22);
  }
  void Write(const std::u16string& name, const std::string& bytes) {
    std::ofstream(Temp(name), std::ios::binary) << bytes;
  }
  // A stub as the linker lays one out: code, resources with a manifest, relocations.
  void WriteStub(const std::u16string& name, std::uint8_t code, const std::string& manifest = kElevatedManifest) {
    pe::test::SyntheticPe stub;
    pe::ResourceTree resources;
    resources.Set(pe::rt::kManifest, 1, pe::kLangNeutral, pe::Bytes(manifest.begin(), manifest.end()));
    stub.sections = {{".text", pe::Bytes(0x300, code), 0x60000020},
                     {".rsrc", pe::WriteResourceSection(resources, stub.SectionRva(1)), 0x40000040},
                     {".reloc", pe::Bytes(0x20, 0xEE), 0x42000040}};
    stub.resourceSection = 1;
    stub.relocationSection = 2;
    const pe::Bytes bytes = stub.Build();
    std::ofstream(Temp(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  ToolResult Build(int exitCode, const std::u16string& output) {
    return Expect(exitCode, {u"build", Text(Temp(u"product/product.ini")), u"-o", Text(Temp(output)), u"--stubs",
                             Text(Temp(u"stubs")), u"--uninstaller", Text(Temp(output + u".uninst"))});
  }
};

TEST_F(BuildCommand, WritesTheProductIntoTheSetupStubWithItsUninstallerPacked) {
  const ToolResult built = Build(0, u"Setup.exe");
  // Without a ProductId the build goes on, saying once what the product gives up.
  const std::string warning = "gives no ProductId, so its Uninstall key is named by the display name";
  const std::size_t said = built.err.find(warning);
  EXPECT_NE(said, std::string::npos) << built.err;
  EXPECT_EQ(built.err.find(warning, said + 1), std::string::npos) << built.err;
  const pe::Bytes setupBytes = ReadBytes(Temp(u"Setup.exe"));
  const pe::PeImage setup(setupBytes);
  const pe::ResourceTree resources = setup.Resources();
  const auto strings = pe::ReadStrings(resources, pe::kLangNeutral);
  EXPECT_EQ(strings.at(1001), u"ProbeWindow");
  EXPECT_EQ(strings.at(1003), u"探针");
  EXPECT_EQ(strings.at(1010), u"Probe");
  EXPECT_EQ(strings.at(1013), u"Probe Works");
  EXPECT_EQ(*resources.Find(pe::rt::kManifest, 1, pe::kLangNeutral),
            pe::Bytes(kElevatedManifest.begin(), kElevatedManifest.end()));
  EXPECT_FALSE(strings.contains(1018));
  EXPECT_NE(resources.Find(pe::rt::kVersion, 1, pe::kLangEnglishUs), nullptr);
  EXPECT_EQ(resources.Find(pe::rt::kBitmap, u"ImageIcon", pe::kLangNeutral)->size(), kBmp.size() - 14);
  const pe::Bytes* package = resources.Find(u"STPFILE", u"SetupPackage", pe::kLangChineseSimplified);
  ASSERT_NE(package, nullptr);
  EXPECT_EQ(setup.Sections().back().name, ".rsrc");
  EXPECT_EQ(setup.Checksum(), pe::PeChecksum(setupBytes, 0x80 + 4 + 20 + 64));

  // The package holds the product's files and Uninst.exe, which lists the install-folder ones.
  std::ofstream(Temp(u"package.stp"), std::ios::binary)
      .write(reinterpret_cast<const char*>(package->data()), static_cast<std::streamsize>(package->size()));
  Expect(0, {u"extract", Text(Temp(u"package.stp")), Text(Temp(u"out")), u"--system-dir", Text(Temp(u"system"))});
  EXPECT_EQ(ReadBytes(Temp(u"out/ReadMe.txt")), (pe::Bytes{'r', 'e', 'a', 'd', ' ', 'm', 'e'}));
  EXPECT_TRUE(std::filesystem::exists(Temp(u"system/Shared.dll")));
  const pe::Bytes uninstBytes = ReadBytes(Temp(u"out/Uninst.exe"));
  EXPECT_EQ(uninstBytes, ReadBytes(Temp(u"Setup.exe.uninst")));
  const pe::ResourceTree uninst = pe::PeImage(uninstBytes).Resources();
  const std::string list = "ReadMe.txt\r\nUninst.exe\r\nsub\\deeper.txt\r\n";
  EXPECT_EQ(*uninst.Find(pe::rt::kRcData, u"UNINSTALLFILES", pe::kLangNeutral), pe::Bytes(list.begin(), list.end()));
  EXPECT_EQ(pe::ReadStrings(uninst, pe::kLangNeutral).at(1004), u"Velmora Probe");
  EXPECT_EQ(uninst.FindType(u"STPFILE"), nullptr);
  EXPECT_EQ(uninstBytes[0x400], 0x22);  // the uninstaller stub's code
}

TEST_F(BuildCommand, AProductIdReachesBothProgramsWithoutAWarning) {
  Write(u"product/product.ini", kProduct + "ProductId = Velmora.Probe\n");
  const ToolResult built = Build(0, u"Setup.exe");
  EXPECT_EQ(built.err.find("ProductId"), std::string::npos) << built.err;
  for (const std::u16string file : {u"Setup.exe", u"Setup.exe.uninst"}) {
    const pe::Bytes bytes = ReadBytes(Temp(file));
    EXPECT_EQ(pe::ReadStrings(pe::PeImage(bytes).Resources(), pe::kLangNeutral).at(1017), u"Velmora.Probe");
  }
}

struct ScopeCase {
  const char* label;
  std::string line;      // added to the product file
  std::string manifest;  // both programs'
  std::u16string scope;  // configuration string 1018
};

class BuildScope : public BuildCommand, public testing::WithParamInterface<ScopeCase> {};

TEST_P(BuildScope, ReachesBothProgramsAndTheirManifests) {
  std::filesystem::remove_all(Temp(u"product/files/$System$"));
  Write(u"product/product.ini", kProduct + GetParam().line + "\n");
  Build(0, u"Setup.exe");
  for (const std::u16string file : {u"Setup.exe", u"Setup.exe.uninst"}) {
    const pe::Bytes bytes = ReadBytes(Temp(file));
    const pe::ResourceTree resources = pe::PeImage(bytes).Resources();
    const pe::Bytes* manifest = resources.Find(pe::rt::kManifest, 1, pe::kLangNeutral);
    ASSERT_NE(manifest, nullptr);
    EXPECT_EQ(std::string(manifest->begin(), manifest->end()), GetParam().manifest);
    EXPECT_EQ(pe::ReadStrings(resources, pe::kLangNeutral).at(1018), GetParam().scope);
  }
}

INSTANTIATE_TEST_SUITE_P(Products, BuildScope,
                         testing::Values(ScopeCase{"user", "Scope = User", kAsInvokerManifest, u"user"},
                                         ScopeCase{"machine", "Scope = machine", kElevatedManifest, u"machine"},
                                         ScopeCase{"user_by_id", "1018 = USER", kAsInvokerManifest, u"user"}),
                         [](const auto& item) { return std::string(item.param.label); });

TEST_F(BuildCommand, TheSameInputsGiveTheSameBytes) {
  Build(0, u"first.exe");
  Build(0, u"second.exe");
  EXPECT_EQ(ReadBytes(Temp(u"first.exe")), ReadBytes(Temp(u"second.exe")));
  EXPECT_EQ(ReadBytes(Temp(u"first.exe.uninst")), ReadBytes(Temp(u"second.exe.uninst")));
}

struct FaultCase {
  const char* label;
  void (*fault)(BuildCommand& test);
  std::string lastLine;  // a part of it
};

class BuildFault : public BuildCommand, public testing::WithParamInterface<FaultCase> {
 public:
  using BuildCommand::Write;
  using BuildCommand::WriteStub;
  using StpackTest::Temp;
};

TEST_P(BuildFault, FailsAndWritesNothing) {
  GetParam().fault(*this);
  if (IsSkipped()) return;
  const ToolResult result = Build(1, u"Setup.exe");
  EXPECT_NE(result.LastErrorLine().find(GetParam().lastLine), std::string::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(Temp(u"Setup.exe")));
  EXPECT_FALSE(std::filesystem::exists(Temp(u"Setup.exe.uninst")));
  std::size_t left = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Temp(u""))) left += entry.path().extension() == ".tmp";
  EXPECT_EQ(left, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Products, BuildFault,
    testing::Values(
        FaultCase{"uninstaller_in_folder",
                  [](BuildCommand& test) { static_cast<BuildFault&>(test).Write(u"product/files/uninst.EXE", "x"); },
                  "the product's folder already holds uninst.EXE; stpack build writes the uninstaller itself"},
        FaultCase{"link_to_a_file_outside",
                  [](BuildCommand& test) {
                    auto& fault = static_cast<BuildFault&>(test);
                    fault.Write(u"secret.txt", "secret");
                    std::error_code error;
                    std::filesystem::create_symlink(fault.Temp(u"secret.txt"), fault.Temp(u"product/files/shadow.txt"),
                                                    error);
                    if (error) GTEST_SKIP() << "no symbolic links on this system";
                  },
                  "cannot pack \"shadow.txt\": it is a link (symbolic link, junction or other reparse point)"},
        FaultCase{"unknown_key",
                  [](BuildCommand& test) {
                    static_cast<BuildFault&>(test).Write(u"product/product.ini", kProduct + "Colour = red\n");
                  },
                  "product.ini:15: unknown key \"Colour\""},
        FaultCase{"nul_in_display_name",
                  [](BuildCommand& test) {
                    std::string product = kProduct;
                    product.replace(product.find("Velmora Probe"), 13, std::string("Velmora\0Probe", 13));
                    static_cast<BuildFault&>(test).Write(u"product/product.ini", product);
                  },
                  "product.ini:4: DisplayName holds the control character U+0000"},
        FaultCase{"jpeg_header_over_garbage",
                  [](BuildCommand& test) {
                    static_cast<BuildFault&>(test).Write(u"product/left.jpg", "\xFF\xD8\xFF\xE0 banner");
                  },
                  "product.ini:12: ImageLeft0: left.jpg is not a picture the wizard can show (JPEG): the file "
                  "ends inside a marker segment"},
        FaultCase{"per_user_system_file",
                  [](BuildCommand& test) {
                    static_cast<BuildFault&>(test).Write(u"product/product.ini", kProduct + "Scope = user\n");
                  },
                  "product.ini:15: Scope = user: a per-user product cannot install files into the system folder "
                  "($System$\\Shared.dll)"},
        FaultCase{"per_user_stub_without_elevation_level",
                  [](BuildCommand& test) {
                    auto& fault = static_cast<BuildFault&>(test);
                    std::filesystem::remove_all(fault.Temp(u"product/files/$System$"));
                    fault.Write(u"product/product.ini", kProduct + "Scope = user\n");
                    fault.WriteStub(u"stubs/uninst_stub.exe", 0x22, "<x/>");
                  },
                  "uninst_stub.exe cannot start a per-user product (Scope = user) without elevation: its manifest "
                  "does not hold level=\"requireAdministrator\" to turn into level=\"asInvoker\""},
        FaultCase{"missing_stub",
                  [](BuildCommand& test) {
                    std::filesystem::remove(static_cast<BuildFault&>(test).Temp(u"stubs/uninst_stub.exe"));
                  },
                  "the stub uninst_stub.exe is not in"},
        FaultCase{"stub_not_pe",
                  [](BuildCommand& test) {
                    static_cast<BuildFault&>(test).Write(u"stubs/setup_stub.exe", "MZ but nothing else");
                  },
                  "The DOS header lies outside the file"}),
    [](const auto& item) { return std::string(item.param.label); });

}  // namespace
}  // namespace setup::testing_support
