# Writes the site's service worker (cmake -P, from web.cmake once the site is together): the
# template site/sw.js with the names of the files it keeps for offline play and a version that
# is a hash of those files and of the template, so that any change to the site changes sw.js,
# which is what makes a browser fetch the site anew.
# -DSITE=the site's folder -DTEMPLATE=site/sw.js -DFILES=names in the site, comma-separated
string(REPLACE "," ";" files "${FILES}")
file(SHA256 ${TEMPLATE} hashes)
foreach(file IN LISTS files)
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND hashes "\n${file} ${hash}")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING ${version} 0 16 SITE_VERSION)
list(JOIN files " " SITE_FILES)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
