#pragma once
// A data object of the tests' own: offers memory blocks of chosen formats and sizes, or claims
// a format whose data it then cannot deliver. It lives on the test's stack, so its reference
// count only tracks that every reference handed out comes back.

#include <ole2.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace kv::test {

class TestDataObject final : public IDataObject {
  public:
    // `blockSize` 0 makes the block exactly as long as the bytes.
    void Offer(CLIPFORMAT format, const std::string& bytes, SIZE_T blockSize = 0) {
        offers_.push_back({format, bytes, blockSize ? blockSize : bytes.size()});
    }
    // QueryGetData says yes, GetData fails.
    void Claim(CLIPFORMAT format) { claimed_.push_back(format); }
    // GetData answers with a stream instead of a memory block.
    void OfferAsStream(CLIPFORMAT format) { streamed_.push_back(format); }

    LONG References() const { return references_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object)
            return E_INVALIDARG;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* request, STGMEDIUM* medium) override {
        if (!request || !medium)
            return E_INVALIDARG;
        if (!(request->tymed & TYMED_HGLOBAL))
            return DV_E_TYMED;
        for (const Offered& offer : offers_) {
            if (offer.format != request->cfFormat)
                continue;
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, offer.blockSize);
            if (!block)
                return E_OUTOFMEMORY;
            std::memcpy(GlobalLock(block), offer.bytes.data(),
                        std::min<SIZE_T>(offer.bytes.size(), offer.blockSize));
            GlobalUnlock(block);
            medium->tymed = TYMED_HGLOBAL;
            medium->hGlobal = block;
            medium->pUnkForRelease = nullptr;
            return S_OK;
        }
        for (CLIPFORMAT format : streamed_) {
            if (format != request->cfFormat)
                continue;
            IStream* stream = nullptr;
            if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
                return E_OUTOFMEMORY;
            medium->tymed = TYMED_ISTREAM;
            medium->pstm = stream;
            medium->pUnkForRelease = nullptr;
            return S_OK;
        }
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* request) override {
        if (!request)
            return E_INVALIDARG;
        if (!(request->tymed & TYMED_HGLOBAL))
            return DV_E_TYMED;
        for (const Offered& offer : offers_) {
            if (offer.format == request->cfFormat)
                return S_OK;
        }
        for (CLIPFORMAT format : claimed_) {
            if (format == request->cfFormat)
                return S_OK;
        }
        for (CLIPFORMAT format : streamed_) {
            if (format == request->cfFormat)
                return S_OK;
        }
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out)
            out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

  private:
    struct Offered {
        CLIPFORMAT format;
        std::string bytes;
        SIZE_T blockSize;
    };
    std::vector<Offered> offers_;
    std::vector<CLIPFORMAT> claimed_;
    std::vector<CLIPFORMAT> streamed_;
    LONG references_ = 1;
};

}  // namespace kv::test
