#include "shell/FileManagerEntry.h"

#include "rules/Messages.h"

#include <QString>

#include <string>

#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace gustara {

namespace {

template <typename T>
class ComPointer {
public:
    ComPointer() = default;
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ~ComPointer()
    {
        if (pointer_)
            pointer_->Release();
    }
    T* operator->() const { return pointer_; }
    T& operator*() const { return *pointer_; }
    T** out() { return &pointer_; }
    void** outVoid() { return reinterpret_cast<void**>(&pointer_); }

private:
    T* pointer_ = nullptr;
};

class ComApartment {
public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment()
    {
        if (SUCCEEDED(result_))
            ::CoUninitialize();
    }
    // Qt's thread may already be in another apartment, which serves as well.
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

std::wstring SendToFolder()
{
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_SendTo, 0, nullptr, &path)))
        folder = path;
    ::CoTaskMemFree(path);
    return folder;
}

std::wstring ThisProgram()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The program an existing shortcut leads to; empty when there is none or it cannot be read.
std::wstring LinkTarget(IShellLinkW& link, IPersistFile& file, const std::wstring& path)
{
    wchar_t target[MAX_PATH * 4] = {};
    if (FAILED(file.Load(path.c_str(), STGM_READ)) || FAILED(link.GetPath(target, MAX_PATH * 4, nullptr, SLGP_RAWPATH)))
        return {};
    return target;
}

} // namespace

void OfferInFileManager()
{
    const ComApartment apartment;
    const std::wstring folder = SendToFolder();
    const std::wstring program = ThisProgram();
    if (!apartment.usable() || folder.empty() || program.empty())
        return;
    ComPointer<IShellLinkW> link;
    ComPointer<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.outVoid()))
        || FAILED(link->QueryInterface(IID_IPersistFile, file.outVoid())))
        return;
    // The entry is named in the window's language when it is made; one made under the other
    // language still leads here, and a second would only repeat it.
    const auto pathNamed = [&folder](const char* name) {
        return folder + L'\\' + QString::fromUtf8(name).toStdWString() + L".lnk";
    };
    for (const char* name : {GUSTARA_ACTION_NAME, GUSTARA_ACTION_NAME_JA}) {
        if (::CompareStringOrdinal(LinkTarget(*link, *file, pathNamed(name)).c_str(), -1, program.c_str(), -1, TRUE)
            == CSTR_EQUAL)
            return;
    }
    const std::wstring path
        = pathNamed(CurrentLanguage() == Language::Japanese ? GUSTARA_ACTION_NAME_JA : GUSTARA_ACTION_NAME);
    const std::wstring programFolder = program.substr(0, program.find_last_of(L'\\'));
    // Explorer passes the pictures sent as the program's arguments.
    if (SUCCEEDED(link->SetPath(program.c_str())) && SUCCEEDED(link->SetWorkingDirectory(programFolder.c_str()))
        && SUCCEEDED(link->SetIconLocation(program.c_str(), 0)))
        file->Save(path.c_str(), TRUE);
}

} // namespace gustara
