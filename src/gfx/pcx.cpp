// PCX picture loader.
