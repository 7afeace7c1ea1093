# What endless-field-assets writes, relative to its output folder: the images
# the program reads (EF_ASSET_FILES) and its icon (EF_ICON_FILES). Shared by
# the native build, the Windows cross build and the install rules.
set(EF_ASSET_FILES
  pic/GRASS1.jpg
  pic/mauergrass.jpg
  pic/obj/holz2.jpg
  pic/obj/GINGHAM.jpg
  pic/obj/LEOPARD.jpg
  pic/obj/TABCLOTH.jpg
  pic/obj/WAVEDBL.jpg
  pic/obj/holz6.jpg
  pic/obj/BURLWOOD.jpg
  pic/obj/PARQUET.jpg
  pic/obj/WOOD04.jpg
  pic/obj/S_BLECH2.jpg
  pic/obj/ALU.jpg
  pic/obj/W-BLECH.jpg
  pic/obj/holz10.jpg
  pic/obj/holz12.jpg
  pic/obj/Kork1.jpg
  pic/obj/st2007.jpg
  pic/obj/TEALCLOT.jpg
  pic/sky/front.jpg
  pic/sky/back.jpg
  pic/sky/left.jpg
  pic/sky/right.jpg
  pic/sky/top.jpg
  pic/sky/bottom.jpg
  FIGHTER.png
)
set(EF_ICON_FILES
  icon/endless-field.ico
  icon/endless-field.png
)
