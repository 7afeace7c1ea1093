# Writes the page's service worker (cmake -P): SOURCE with @EF_PAGE_VERSION@
# replaced by a hash of the files it keeps, read in WEB_DIR (the page, the
# program, the manifest, the icon, assets.txt and every image listed there),
# to OUTPUT. A build that changes any of them gives a new service worker, so
# browsers fetch the new files instead of answering from the old cache.
file(STRINGS ${WEB_DIR}/assets.txt EF_KEPT_FILES)
list(APPEND EF_KEPT_FILES index.html endless-field.js endless-field.wasm assets.txt
     manifest.webmanifest icon/endless-field.png)
set(EF_HASHES "")
foreach(kept IN LISTS EF_KEPT_FILES)
  file(SHA256 ${WEB_DIR}/${kept} hash)
  string(APPEND EF_HASHES "${kept} ${hash}\n")
endforeach()
string(SHA256 EF_PAGE_VERSION "${EF_HASHES}")
string(SUBSTRING ${EF_PAGE_VERSION} 0 16 EF_PAGE_VERSION)
configure_file(${SOURCE} ${OUTPUT} @ONLY)
