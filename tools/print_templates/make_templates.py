#!/usr/bin/env python3
"""Writes the shipped print templates of the production task into resources/Reports/Bill/.

The templates are plain JSON that the designer edits too; this script keeps the three paper
sizes of the task and the list consistent with each other. Run it after changing a layout:
    python3 tools/print_templates/make_templates.py
"""
import json
import os

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUT = os.path.join(ROOT, "resources", "Reports", "Bill")
FONT = "WenQuanYi Zen Hei"


def param(name, source, x, y, w, h, size, bold=False, align="center"):
    c = {"name": name, "kind": "parameter", "source": source, "x": x, "y": y, "w": w, "h": h,
         "font": {"size": size}, "align": align}
    if bold:
        c["font"]["bold"] = True
    return c


def label_field(prefix, label, field, x, y, w, h, size, fmt=None):
    c = {"name": "Field" + prefix, "kind": "field", "text": label, "source": field,
         "x": x, "y": y, "w": w, "h": h, "font": {"size": size}}
    if fmt:
        c["format"] = fmt
    return c


def line(name, x, y, w, width=0.3):
    return {"name": name, "kind": "line", "x": x, "y": y, "w": w, "h": 0, "lineWidth": width}


def system(name, source, x, y, w, h, size, align, text=""):
    c = {"name": name, "kind": "system", "source": source, "x": x, "y": y, "w": w, "h": h,
         "font": {"size": size}, "align": align}
    if text:
        c["text"] = text
    return c


def task_template(paper_w, paper_h, margins, sizes, widths, header_rows, row_h, title_h):
    """One paper size of the task: company, title, address line, header fields, the
    material lines with sums, signatures and the page number."""
    left, top, right, bottom = margins
    content_w = paper_w - left - right
    big, mid, small = sizes
    # The address line spans the paper less 5.5 mm (the print form sets that width too),
    # centred on the paper.
    addr_x = round(2.75 - left, 2)
    header = [
        param("CompanyNameText", "CompanyName", 0, 0, content_w, title_h * 0.8, mid + 2, True),
        param("TitleText", "Title", 0, title_h * 0.8, content_w, title_h, big, True),
        param("StaticBoxAddr", "CompanyAddr", addr_x, title_h * 1.8, paper_w - 5.5, title_h * 0.55, small),
        line("TitleLine", 0, title_h * 2.45, content_w, 0.4),
    ]
    y = title_h * 2.45 + 1
    field_h = row_h - 0.5
    cols = len(header_rows[0])
    col_w = content_w / cols
    for r, row in enumerate(header_rows):
        for c, cell in enumerate(row):
            if cell is None:
                continue
            key, label, field = cell[0], cell[1], cell[2]
            fmt = cell[3] if len(cell) > 3 else None
            span = cell[4] if len(cell) > 4 else 1
            header.append(label_field(key, label, field, round(c * col_w, 2), round(y + r * field_h, 2),
                                      round(col_w * span, 2), field_h, small, fmt))
    header_h = round(y + len(header_rows) * field_h + 1, 2)

    columns = [
        {"name": "ColSID", "field": "", "caption": "序号", "align": "center"},
        {"name": "ColProductNo", "field": "FProductNo", "caption": "物料编号"},
        {"name": "ColProductName", "field": "FProductName", "caption": "物料名称"},
        {"name": "ColUnit", "field": "FUnitName", "caption": "单位", "align": "center"},
        {"name": "ColSingleNumber", "field": "FSingleNumber", "caption": "单位用量", "align": "right",
         "format": "{Number}"},
        {"name": "ColNumber", "field": "FNumber", "caption": "需求数量", "align": "right",
         "format": "{Number}", "sum": True},
        {"name": "ColBatchNo", "field": "FBatchNo1", "caption": "批号"},
        {"name": "ColNote", "field": "FNote", "caption": "备注"},
    ]
    for col, w in zip(columns, widths):
        col["width"] = w
    assert abs(sum(widths) - content_w) < 0.01, (sum(widths), content_w)

    fw = content_w / 4
    footer = [
        label_field("BillName", "制单人：", "FBillName", 0, 1.5, fw, row_h, small),
        label_field("CheckName", "审核人：", "FCheckName", fw, 1.5, fw, row_h, small),
        {"name": "StaticPicker", "kind": "static", "text": "领料人：", "x": fw * 2, "y": 1.5, "w": fw,
         "h": row_h, "font": {"size": small}},
        {"name": "StaticWorkshop", "kind": "static", "text": "车间签收：", "x": fw * 3, "y": 1.5, "w": fw,
         "h": row_h, "font": {"size": small}},
    ]
    page_footer = [
        system("PrintDate", "DateTime", 0, 0, content_w / 2, 4.5, small - 1, "left", "打印时间："),
        system("PageNumberText", "PageOfPages", content_w / 2, 0, content_w / 2, 4.5, small - 1, "right"),
    ]
    return {
        "format": "protask-report",
        "version": 1,
        "title": "生产任务单",
        "paper": {"width": paper_w, "height": paper_h,
                  "margins": {"left": left, "top": top, "right": right, "bottom": bottom}},
        "font": {"family": FONT, "size": small},
        "parameters": [{"name": "Title", "value": "生产任务单"}, {"name": "CompanyName", "value": ""},
                       {"name": "CompanyAddr", "value": ""}],
        "bands": {
            "reportHeader": {"height": header_h, "controls": header},
            "detail": {"rowHeight": row_h, "headerHeight": row_h + 0.5, "appendBlankRow": False,
                       "repeatHeader": True, "showSums": True, "sumCaption": "合计", "lineWidth": 0.2,
                       "font": {"size": small}, "columns": columns},
            "reportFooter": {"height": row_h + 3, "controls": footer},
            "pageFooter": {"height": 5, "controls": page_footer},
        },
    }


TASK_HEADER = [
    [("BillNo", "单据编号：", "FBillNo"), ("BillDate", "单据日期：", "FBillDate", "yyyy-MM-dd"),
     ("DeptName", "生产部门：", "FDeptName")],
    [("FormProductNo", "产品编号：", "FFormProductNo"), ("FormProductName", "产品名称：", "FFormProductName"),
     ("FormUnitName", "单位：", "FFormUnitName")],
    [("FormNumber", "生产数量：", "FFormNumber", "{Number}"), ("FormBatchNo", "批号：", "FFormBatchNo"),
     ("ManagerName", "负责人：", "FManagerName")],
    [("FormNote", "备注：", "FFormNote", None, 3), None, None],
]

TASK_HEADER_SMALL = [
    [("BillNo", "单号：", "FBillNo"), ("BillDate", "日期：", "FBillDate", "yyyy-MM-dd"),
     ("DeptName", "部门：", "FDeptName"), ("ManagerName", "负责人：", "FManagerName")],
    [("FormProductName", "产品：", "FFormProductName", None, 2), None,
     ("FormNumber", "数量：", "FFormNumber", "{Number}"), ("FormUnitName", "单位：", "FFormUnitName")],
]


def list_template():
    paper_w, paper_h = 297, 210
    left, top, right, bottom = 10, 10, 10, 10
    content_w = paper_w - left - right
    header = [
        param("CompanyNameText", "CompanyName", 0, 0, content_w, 7, 12, True),
        param("TitleText", "Title", 0, 7, content_w, 9, 16, True),
        param("StaticBoxAddr", "CompanyAddr", round(2.75 - left, 2), 16, paper_w - 5.5, 5, 9),
    ]
    column_rows = [
        ("ColSID", "", "序号", 12, "center", None, False),
        ("ColBillNo", "FBillNo", "单据编号", 34, "left", None, False),
        ("ColBillDate", "FBillDate", "单据日期", 24, "center", "yyyy-MM-dd", False),
        ("ColProductNo", "FProductNo", "产品编号", 26, "left", None, False),
        ("ColProductName", "FProductName", "产品名称", 42, "left", None, False),
        ("ColUnit", "FUnitName", "单位", 14, "center", None, False),
        ("ColNumber", "FNumber", "生产数量", 24, "right", "{Number}", True),
        ("ColDept", "FDeptName", "生产部门", 24, "left", None, False),
        ("ColManager", "FManagerName", "负责人", 18, "left", None, False),
        ("ColBiller", "FBillerName", "制单人", 18, "left", None, False),
        ("ColChecker", "FCheckName", "审核人", 18, "left", None, False),
        ("ColNote", "FNote", "备注", 23, "left", None, False),
    ]
    assert sum(s[3] for s in column_rows) == content_w
    columns = []
    for name, field, caption, width, align, fmt, total in column_rows:
        c = {"name": name, "field": field, "caption": caption, "width": width, "align": align}
        if fmt:
            c["format"] = fmt
        if total:
            c["sum"] = True
        columns.append(c)
    return {
        "format": "protask-report", "version": 1, "title": "生产任务单列表",
        "paper": {"width": paper_w, "height": paper_h,
                  "margins": {"left": left, "top": top, "right": right, "bottom": bottom}},
        "font": {"family": FONT, "size": 9},
        "parameters": [{"name": "Title", "value": "生产任务单列表"}, {"name": "CompanyName", "value": ""},
                       {"name": "CompanyAddr", "value": ""}],
        "bands": {
            "reportHeader": {"height": 24, "controls": header},
            "detail": {"rowHeight": 6, "headerHeight": 7, "appendBlankRow": False, "repeatHeader": True,
                       "showSums": True, "sumCaption": "合计", "lineWidth": 0.2, "columns": columns},
            "pageFooter": {"height": 5, "controls": [
                system("PrintDate", "DateTime", 0, 0, content_w / 2, 4.5, 8, "left", "打印时间："),
                system("PageNumberText", "PageOfPages", content_w / 2, 0, content_w / 2, 4.5, 8, "right")]},
        },
    }


def main():
    os.makedirs(OUT, exist_ok=True)
    files = {
        # A4: 186 mm between the margins.
        "生产任务单(标准).grf": task_template(210, 297, (12, 10, 12, 12), (18, 11, 9.5),
                                          [11, 27, 46, 14, 22, 22, 22, 22], TASK_HEADER, 7, 8),
        # 240 x 139 continuous paper: 226 mm between the margins.
        "生产任务单(中).grf": task_template(240, 139, (7, 6, 7, 5), (15, 10, 9),
                                        [11, 30, 58, 16, 27, 27, 27, 30], TASK_HEADER, 6, 6.5),
        # 240 x 93: two header rows, a few lines a page.
        "生产任务单(小).grf": task_template(240, 93, (7, 4, 7, 4), (13, 9, 8.5),
                                        [11, 30, 58, 16, 27, 27, 27, 30], TASK_HEADER_SMALL, 5.5, 5.5),
        "生产任务单列表.grf": list_template(),
    }
    for name, t in files.items():
        with open(os.path.join(OUT, name), "w", encoding="utf-8") as f:
            json.dump(t, f, ensure_ascii=False, indent=2)
            f.write("\n")


if __name__ == "__main__":
    main()
