// The data object and drop source behind a drag out of the result list.

#include "app/drag_out.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "results/cells.h"
#include "win32/win.h"

namespace app {
namespace {

// The one format offered: a file list, in a global memory block.
FORMATETC FileListFormat() {
    return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The one interface of a COM object besides IUnknown, and its reference count; the object is
// born with one reference and deletes itself with the last.
template <class Interface, const IID& kInterfaceId>
class Unknown : public Interface {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kInterfaceId)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

  protected:
    virtual ~Unknown() = default;

  private:
    LONG references_ = 1;
};

// One file offered as CF_HDROP. The block holds the path wide, as the file system has it: the
// row's ANSI text may not name the file.
class FileData final : public Unknown<IDataObject, IID_IDataObject> {
  public:
    explicit FileData(std::wstring path) : path_(std::move(path)) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (medium == nullptr) {
            return E_POINTER;
        }
        const HRESULT offered = QueryGetData(format);
        if (offered != S_OK) {
            return offered;
        }
        // A DROPFILES header, the path and two terminators: one ends the path, one the list.
        const size_t path_bytes = (path_.size() + 1) * sizeof(wchar_t);
        HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + path_bytes + sizeof(wchar_t));
        if (block == nullptr) {
            return E_OUTOFMEMORY;
        }
        auto* files = static_cast<DROPFILES*>(GlobalLock(block));
        if (files == nullptr) {
            GlobalFree(block);
            return E_OUTOFMEMORY;
        }
        files->pFiles = sizeof(DROPFILES);
        files->fWide = TRUE;
        std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), path_.c_str(), path_bytes);
        GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        // The receiver frees the block.
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (format == nullptr) {
            return E_POINTER;
        }
        if (format->cfFormat != CF_HDROP) {
            return DV_E_FORMATETC;
        }
        if ((format->tymed & TYMED_HGLOBAL) == 0) {
            return DV_E_TYMED;
        }
        if (format->dwAspect != DVASPECT_CONTENT) {
            return DV_E_DVASPECT;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out != nullptr) {
            out->ptd = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    // Explorer asks for the list of formats before it takes any.
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        if (formats == nullptr) {
            return E_POINTER;
        }
        *formats = nullptr;
        if (direction != DATADIR_GET) {
            return E_NOTIMPL;
        }
        const FORMATETC format = FileListFormat();
        return SHCreateStdEnumFmtEtc(1, &format, formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

  private:
    ~FileData() override = default;

    const std::wstring path_;
};

// Drops when the left button is let go, gives up on Esc, and leaves the cursors to the system.
class DragSource final : public Unknown<IDropSource, IID_IDropSource> {
  public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) {
            return DRAGDROP_S_CANCEL;
        }
        return (keys & MK_LBUTTON) == 0 ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

  private:
    ~DragSource() override = default;
};

}  // namespace

void DragRow(int row) {
    std::wstring path = results::RealFilePath(row);
    if (path.empty()) {
        return;
    }
    const win::ComPtr<IDataObject> data(new FileData(std::move(path)));
    const win::ComPtr<IDropSource> source(new DragSource);
    // Nothing the list shows may be moved away or deleted through a drop.
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
}

}  // namespace app
